// A save that fails must lose nothing: the document stays dirty and an
// existing file keeps its bytes and mode, with no temporary file left behind.
// The failures are real: a full tmpfs mounted in a private mount namespace,
// and a directory without write permission for an unprivileged user (root
// ignores directory permissions). Both run in a child process of this test.
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

// Loads dir/backup.vrk, makes it too large for a 16 kB disk and saves it over
// itself. Returns the failures found, empty when nothing was lost.
QStringList saveFailsSafely(const QString &dir)
{
    const QString path = dir + QStringLiteral("/backup.vrk");
    const QByteArray before = read(path);
    const QFile::Permissions mode = QFileInfo(path).permissions();
    QStringList faults;

    BackupDocument document;
    if (!document.load(path))
        return {QStringLiteral("cannot load %1").arg(path)};
    document.addGroup(GroupTags::Teeth)->fromJson(teeth(1.0 / 3.0), false);
    if (!document.isDirty())
        faults << QStringLiteral("not dirty before the save");

    const auto saved = document.save(path);
    if (saved)
        faults << QStringLiteral("the save reported success");
    else if (saved.error().isEmpty())
        faults << QStringLiteral("empty error message");
    else
        qInfo("save error: %s", qPrintable(saved.error()));
    if (!document.isDirty())
        faults << QStringLiteral("the document is no longer dirty");
    if (document.fileName() != path)
        faults << QStringLiteral("the file name changed");
    if (read(path) != before)
        faults << QStringLiteral("the file changed");
    if (QFileInfo(path).permissions() != mode)
        faults << QStringLiteral("the file's mode changed");
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (entries != QStringList{QStringLiteral("backup.vrk")})
        faults << QStringLiteral("files left: %1").arg(entries.join(QLatin1Char(' ')));
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
    if (mode == QLatin1String("--full-disk") && !writeExisting(dir)) {
        qCritical("cannot write the existing file in %s", qPrintable(dir));
        return 2;
    }
    const QStringList faults = saveFailsSafely(dir);
    for (const QString &fault : faults)
        qCritical("FAULT: %s", qPrintable(fault));
    return faults.isEmpty() ? 0 : 1;
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
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=16k tmpfs \"$1\" || exit 3; exec \"$0\" --full-disk \"$1\"");
    process.start(
        QStringLiteral("unshare"),
        {"-rm", "sh", "-c", script, QCoreApplication::applicationFilePath(), mountPoint.path()});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray output = process.readAll();
    if (output.startsWith("unshare:"))
        QSKIP(qPrintable("no private mount namespace here: " + output));
    QVERIFY2(process.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("No space left on device"), output.constData());
}

void TestBackupSave::readOnlyDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeExisting(dir.path()));
    const QString path = dir.filePath("backup.vrk");
    // The user may write the file, only not the directory it lies in.
    if (::geteuid() == 0)
        QCOMPARE(::chown(qPrintable(path), 65534, 65534), 0);
    const QByteArray before = read(path);
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
    auto restore = qScopeGuard([&] {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });

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
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(binDir.path(), open) && QFile::setPermissions(binary, open));

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups",
                                              binary, "--read-only", dir.path()});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray output = process.readAll();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             output.constData());
    QVERIFY2(output.contains("Permission denied"), output.constData());
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
