// A save that fails must lose nothing. The failures are real: a full tmpfs in
// a private mount namespace, and a directory an unprivileged user may not
// write (root ignores directory permissions); both met by a child process.
#include "backup/backupdocument.h"
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

// A small backup with a mode other than the default.
bool writeExisting(const QString &path)
{
    return write(path, json({{"_machine", "VrkB2"},
                             {"_version", 7},
                             {"coordsys", rows("G", 54, 59, 8, 0.5)}})) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

// Runs this test's binary with SAVE_DIR set, through the wrapper command
// given; true when its checks passed and the save failed with this error.
bool runChild(QStringList command, const QString &dir, const char *error)
{
    qputenv("SAVE_DIR", dir.toLocal8Bit());
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.takeFirst(), command);
    process.waitForFinished(60000);
    qunsetenv("SAVE_DIR");
    const QByteArray output = process.readAll();
    qInfo("%s", output.constData());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
           output.contains("save error: ") && output.contains(error);
}

} // namespace

// The child: loads SAVE_DIR/backup.vrk (writes it first for the full disk),
// makes it too large for a 16 kB disk and saves it over itself.
class SaveFails : public QObject
{
    Q_OBJECT
private slots:
    void nothingLost()
    {
        const QString dir = qEnvironmentVariable("SAVE_DIR");
        const QString path = dir + QStringLiteral("/backup.vrk");
        QVERIFY(QFile::exists(path) || writeExisting(path));
        const QByteArray before = read(path);
        const QFile::Permissions mode = QFileInfo(path).permissions();
        BackupDocument document;
        QVERIFY(document.load(path));
        document.addGroup(GroupTags::Teeth)->fromJson(teeth(1.0 / 3.0), false);

        // A full disk once left a truncated file and reported success.
        const auto saved = document.save(path);
        QVERIFY(!saved);
        qInfo("save error: %s", qPrintable(saved.error()));
        QVERIFY(document.isDirty() && document.fileName() == path);
        QCOMPARE(read(path), before);
        QCOMPARE(QFileInfo(path).permissions(), mode);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{"backup.vrk"});
    }
};

class TestBackupSave : public QObject
{
    Q_OBJECT
private slots:
    void fullDisk()
    {
        QTemporaryDir mountPoint;
        QVERIFY(mountPoint.isValid());
        const QString script =
            QStringLiteral("mount -t tmpfs -o size=16k tmpfs \"$SAVE_DIR\" && exec \"$0\"");
        QVERIFY(runChild(
            {"unshare", "-rm", "sh", "-c", script, QCoreApplication::applicationFilePath()},
            mountPoint.path(), "No space left on device"));
    }

    void readOnlyDirectory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("backup.vrk");
        QVERIFY(dir.isValid() && writeExisting(path));
        QStringList command{QCoreApplication::applicationFilePath()};
        QTemporaryDir binDir;
        if (::geteuid() == 0) {
            // The user may write the file, only not the directory it lies in.
            QCOMPARE(::chown(qPrintable(path), 65534, 65534), 0);
            // The build tree may lie where that user cannot reach it: run a copy
            // of this test from a directory open to everyone.
            const QString binary = binDir.filePath(QStringLiteral("tst_backupsave"));
            QVERIFY(QFile::copy(command.first(), binary));
            QVERIFY(QFile::setPermissions(binDir.path(), Open) &&
                    QFile::setPermissions(binary, Open));
            command =
                QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", binary};
        }
        const QByteArray before = read(path);
        QVERIFY(QFile::setPermissions(dir.path(), Open & ~QFile::WriteOwner));
        auto restore = qScopeGuard([&] { QFile::setPermissions(dir.path(), Open); });

        QVERIFY(runChild(command, dir.path(), "Permission denied"));
        // Seen from outside the child as well.
        QCOMPARE(read(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.vrk"});
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("SAVE_DIR")) {
        SaveFails child;
        return QTest::qExec(&child, argc, argv);
    }
    TestBackupSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupsave.moc"
