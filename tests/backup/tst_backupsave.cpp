// A save that fails must lose nothing. The failures are real: a full tmpfs in
// a private mount namespace, and a directory an unprivileged user may not
// write (root ignores directory permissions); both checked in a child process.
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backupdata.h"
#include "model/parametergroup.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace BackupData;

namespace {

constexpr auto Open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

// Loads dir/backup.vrk, makes it too large for a 16 kB disk and saves it over
// itself. Returns the faults found, empty when nothing was lost.
QStringList saveFailsSafely(const QString &dir)
{
    const QString path = dir + QStringLiteral("/backup.vrk");
    const QByteArray before = read(path);
    const QFile::Permissions mode = QFileInfo(path).permissions();
    BackupDocument document;
    if (!document.load(path))
        return {QStringLiteral("cannot load ") + path};
    document.addGroup(GroupTags::Teeth)->fromJson(teeth(1.0 / 3.0), false);

    QStringList faults;
    // A full disk once gave a truncated file and success.
    if (const auto saved = document.save(path); saved || saved.error().isEmpty())
        faults << QStringLiteral("the save reported success or no error");
    else
        qInfo("save error: %s", qPrintable(saved.error()));
    if (!document.isDirty() || document.fileName() != path)
        faults << QStringLiteral("the document is no longer dirty or changed its file name");
    if (read(path) != before || QFileInfo(path).permissions() != mode)
        faults << QStringLiteral("the file or its mode changed");
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (entries != QStringList{QStringLiteral("backup.vrk")})
        faults << QStringLiteral("files left: ") + entries.join(' ');
    return faults;
}

// A small backup with a mode other than the default.
bool writeExisting(const QString &dir)
{
    const QString path = dir + QStringLiteral("/backup.vrk");
    BackupFile file(path);
    file.setMachine(ModelVersion(VrkB2, 7));
    file.setSection(GroupTags::Coordsys, rows(QStringLiteral("G"), 54, 59, 8, 0.5));
    return file.save() && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ReadGroup | QFile::ReadOther);
}

int child(const QString &mode, const QString &dir)
{
    if (mode == QLatin1String("--full-disk") && !writeExisting(dir))
        return 2;
    const QStringList faults = saveFailsSafely(dir);
    for (const QString &fault : faults)
        qCritical("FAULT: %s", qPrintable(fault));
    return faults.isEmpty() ? 0 : 1;
}

// Output of the child, or empty when it did not exit with 0.
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    const QByteArray output = process.readAll();
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok)
        qWarning("%s failed: %s", qPrintable(program), output.constData());
    return ok ? output : QByteArray();
}

} // namespace

class TestBackupSave : public QObject
{
    Q_OBJECT
private slots:
    void fullDisk();
    void readOnlyDirectory();
};

void TestBackupSave::fullDisk()
{
    QTemporaryDir mountPoint;
    QVERIFY(mountPoint.isValid());
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=16k tmpfs \"$1\" || exit 3; exec \"$0\" --full-disk \"$1\"");
    const QByteArray output =
        run("unshare", {"-rm", "sh", "-c", script, QCoreApplication::applicationFilePath(),
                        mountPoint.path()});
    QVERIFY(output.contains("No space left on device"));
}

void TestBackupSave::readOnlyDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid() && writeExisting(dir.path()));
    const QString path = dir.filePath("backup.vrk");
    // The user may write the file, only not the directory it lies in.
    if (::geteuid() == 0)
        QCOMPARE(::chown(qPrintable(path), 65534, 65534), 0);
    const QByteArray before = read(path);
    QVERIFY(QFile::setPermissions(dir.path(), Open & ~QFile::WriteOwner));
    auto restore = qScopeGuard([&] { QFile::setPermissions(dir.path(), Open); });

    if (::geteuid() != 0) {
        const QStringList faults = saveFailsSafely(dir.path());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        return;
    }
    // The build tree may lie where the unprivileged user cannot reach it: run
    // a copy of this test from a directory open to everyone.
    QTemporaryDir binDir;
    const QString binary = binDir.filePath(QStringLiteral("tst_backupsave"));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), binary));
    QVERIFY(QFile::setPermissions(binDir.path(), Open) && QFile::setPermissions(binary, Open));
    const QByteArray output = run("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                              binary, "--read-only", dir.path()});
    QVERIFY(output.contains("Permission denied"));
    // Seen from outside the child as well.
    QCOMPARE(read(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.vrk"});
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && argv[1][0] == '-' && argv[1][1] == '-')
        return child(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    TestBackupSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupsave.moc"
