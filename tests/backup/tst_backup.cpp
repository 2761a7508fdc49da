#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backup/backupimport.h"
#include "backup/validatebackup.h"
#include "backupdata.h"
#include "model/parametergroup.h"
#include "model/tablemodel.h"
#include "model/techparameters.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace BackupData;

using Filled = QMap<qsizetype, qsizetype>; // current index <- old index

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

class TestBackup : public QObject
{
    Q_OBJECT
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QByteArray &bytes) const
    {
        return BackupData::write(path("in"), bytes) ? path("in") : QString();
    }
    QStringList keys(const QString &name) const
    {
        return QJsonDocument::fromJson(read(path(name))).object().keys();
    }
    std::optional<QTemporaryDir> m_dir;

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    // message: what the loader's refusal must hold; empty when the file loads.
    void files_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");

        auto with = [](const QString &key, const QJsonValue &value) { // replaces a stamp key
            return json({{"_machine", "VrkC1"}, {"_version", 8}, {key, value}});
        };
        auto member = [&with](const QString &key, const QString &name, const QJsonValue &value) {
            return with(key, QJsonObject{{name, value}});
        };
        auto tooth = [&member](const QString &shape, const QString &name, qsizetype count = 64) {
            return member("teeth", shape, QJsonObject{{name, numbers(count)}});
        };
        auto invalid = [](const char *context) {
            return QStringLiteral("Validation error #1\ncontext: <root>") + context;
        };
        auto row = [](const char *name, const QByteArray &bytes, const QString &message = {}) {
            QTest::newRow(name) << bytes << message;
        };
        row("root array", '[' + with("_version", 8) + ']', invalid("\n"));
        row("255 techparams", member("techparams", "values", numbers(255)),
            invalid("[techparams][values]"));
        row("text among numbers", member("coordsys", "G54", QJsonArray{1, 2, 3, 4, "5", 6, 7, 8}),
            invalid("[coordsys][G54][4]"));
        row("G53", member("coordsys", "G53", numbers(8)), invalid("[coordsys]"));
        row("G55 of 7", member("coordsys", "G55", numbers(7)), invalid("[coordsys][G55]"));
        row("T10", member("tools", "T10", numbers(8)), invalid("[tools]"));
        row("T0", member("tools", "T0", numbers(8)), invalid("[tools]"));
        row("tooth T123", tooth("L9", "T123"));
        row("tooth X1", tooth("L1", "X1"), invalid("[teeth][L1]"));
        row("tooth of 63", tooth("L2", "T1", 63), invalid("[teeth][L2][T1]"));
        row("longest name", tooth("L1", 'T' + QString(MaxBackupMemberName - 1, '7')));
        // "T" and digits match the tooth pattern: the worst case for the schema's
        // regex, which recursed once per character until this was refused first.
        row("hostile name", tooth("L1", 'T' + QString(49999, '7')),
            invalid("\ndesc: A member name is 50000 characters long; backup files use at most "
                    "256, so the file was not validated."));
        row("_version -1", with("_version", -1), invalid("[_version]\ndesc: "));
        row("_version 0", with("_version", 0));
        row("_version 2^32-1", with("_version", 4294967295.0));
        row("_version 2^32", with("_version", 4294967296.0), invalid("[_version]"));
        row("_version 1.5", with("_version", 1.5),
            "The data model version 1.5 is not a whole number.");
        row("_machine number", with("_machine", 7), invalid("[_machine]"));
        row("two errors", json({{"comment", "x"}}),
            invalid("\ndesc: Missing required property '_machine'.\nValidation error #2\n"
                    "context: <root>\ndesc: Missing required property '_version'."));
        row("malformed", R"({"_machine":"VrkC1",)", "Error: unterminated object on position 20");
        // Beyond what rounds to the largest float: the machine would get infinity.
        row("beyond float", member("tools", "T2", QJsonArray{1, 2, 3, -3.40282357e38, 5, 6, 7, 8}),
            "Section tools holds the number -3.40282357e+38, which is beyond the range of a "
            "machine value.");
        // A section that is there but malformed would read as zeros.
        row("techparams text", with("techparams", "x"), invalid("[techparams]"));
        row("TechParams no values", member("TechParams", "value", numbers(256)),
            "Section TechParams is malformed.\nValidation error #1\ncontext: <root>[techparams]");
        row("too large", QByteArray(BackupFile::MaxFileSize + 1, ' '),
            "The file is larger than 4194304 bytes");
    }

    // A refused file leaves the document that tried to load or import it as it was.
    void files()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);

        BackupFile file(write(bytes));
        const auto loaded = file.load();
        QVERIFY2(loaded.has_value() == message.isEmpty(),
                 qPrintable(loaded ? QString() : loaded.error()));
        if (loaded)
            return;
        QVERIFY2(loaded.error().contains(message), qPrintable(loaded.error()));
        QVERIFY(!file.machine().isValid());

        BackupDocument document;
        QVERIFY(!document.load(path("in")) && !document.import(path("in")));
        QCOMPARE(document.groupTags().size(), 5);
        QVERIFY(document.fileName().isEmpty() && document.isUntouched() && !document.isDirty());
    }

    // A file of the stamp alone saves as the stamp alone; unknown machines and
    // keys, and sections in another letter case, load; a full file saves as it
    // came, and exports write the edited values and the sections asked for.
    // Then what a file leaves without a number, loaded, saved and imported.
    void loadSaveExportImport()
    {
        BackupDocument document;
        QVERIFY(document.load(write(R"({"_version":3,"_machine":"VrkA2"})")));
        QVERIFY(!document.isUntouched() && !document.isDirty());
        // Another data model is an edit of the file: closing must not lose it.
        document.setVersion(ModelVersion(VrkB1, 7));
        QVERIFY(document.isDirty());
        document.setVersion(ModelVersion(VrkA2, 3));
        QVERIFY(!document.isDirty());
        QVERIFY(document.save(path("out")));
        QCOMPARE(read(path("out")), QByteArray(R"({"_machine":"VrkA2","_version":3})"));

        QVERIFY(
            document.load(write(json({{"_machine", "NoSuchMachine"},
                                      {"_version", 4},
                                      {"comment", "kept out"},
                                      {"TechParams", QJsonObject{{"values", numbers(256, 9.0)}}},
                                      {"RPARAMS", QJsonObject{{"values", numbers(256)}}}}))));
        QCOMPARE(document.version(), ModelVersion(Unknown, 4));
        QCOMPARE(document.group(1)->value(255).value(), 9.0 + 255 * 0.25);
        QVERIFY(document.save(path("out")));
        QCOMPARE(keys("out"), QStringList({"_machine", "_version", "rparams", "techparams"}));
        QVERIFY(read(path("out")).contains(R"("_machine":"Unknown")"));

        const QJsonObject original = full(QStringLiteral("VrkE1"), 11);
        QVERIFY(document.load(write(json(original))) && document.save(path("out")));
        BackupFile file(path("out"));
        QVERIFY(file.load());
        // Tools row T0 is not written, so each section is the original.
        for (int tag = 1; tag <= 5; ++tag)
            QCOMPARE(file.section(tag), original.value(ParameterGroup::groupName(tag)).toObject());
        // Written over its own file, one section leaves the others unsaved there.
        QVERIFY(!document.isDirty() && document.exportGroup(GroupTags::Coordsys, path("out")));
        QVERIFY(document.isDirty());

        document.group(GroupTags::TechParams)->value(3).setValue(77.0);
        QVERIFY(document.exportWithoutTeeth(path("noteeth")));
        QVERIFY(document.exportGroup(GroupTags::Coordsys, path("coordsys")));
        QCOMPARE(keys("noteeth"), QStringList({"_machine", "_version", "coordsys", "rparams",
                                               "techparams", "tools"}));
        QCOMPARE(QJsonDocument::fromJson(read(path("noteeth")))["techparams"]["values"][3], 77.0);
        QCOMPARE(keys("coordsys"), QStringList({"_machine", "_version", "coordsys"}));

        // null in a file is a value without a number: shown empty, never written,
        // and an import, which brings numbers, leaves a value alone there. The
        // largest float, typed in, saves and opens again. What a file does not
        // carry (rows G56-G59; tool T0 of the group the import adds) has no number
        // either, or a restore would write zeros there.
        const auto stamped = [this](const char *key, const QJsonValue &section) {
            return write(json({{"_machine", "VrkC1"}, {"_version", 6}, {key, section}}));
        };
        QJsonArray values = numbers(256, 1.0, 0.0);
        values[0] = QJsonValue::Null;
        QVERIFY(document.load(stamped("techparams", QJsonObject{{"values", values}})));
        TableModel *model = document.createModel(GroupTags::TechParams);
        QVERIFY(model->setData(model->index(7, 0), "3.4028235e38"));
        QVERIFY(document.save(path("out")) && document.load(path("out")));
        ParameterGroup *group = document.group(GroupTags::TechParams);
        model = document.createModel(GroupTags::TechParams);
        QVERIFY(std::isnan(group->value(0).value()));
        QCOMPARE(model->index(0, 0).data().toString(), QString());
        QVERIFY(!model->index(0, 0).data(Qt::ToolTipRole).toString().isEmpty());
        QCOMPARE(float(group->value(7).value()), std::numeric_limits<float>::max());

        values[0] = 2.0;
        values[7] = QJsonValue::Null;
        QVERIFY(document.import(stamped("techparams", QJsonObject{{"values", values}})));
        QCOMPARE(group->modifiedValues(), (ParameterGroup::VariableValues{{1024, 2.0f}}));

        QVERIFY(document.load(stamped("coordsys", rows("G", 54, 55, 8, 0))));
        QCOMPARE(document.group(GroupTags::Coordsys)->definedValues().size(), 16);
        QVERIFY(BackupData::write(path("zum"), json(full(QStringLiteral("ZumB1"), 2))));
        QCOMPARE(document.import(path("zum")).value_or(0),
                 (1 << 1) | (1 << 2) | (1 << 4) | (1 << 5));
        QCOMPARE(std::tuple(document.version(), document.fileName(), document.isDirty()),
                 std::tuple(ModelVersion(VrkC1, 6), path("in"), true));
        // Imported numbers arrive as edits over what the document held.
        const ParameterValue &g55 = document.group(GroupTags::Coordsys)->value(1 * 8 + 2);
        QCOMPARE(std::tuple(g55.isModified(), g55.storedValue(), g55.value()),
                 std::tuple(true, 55.0 + 2 * 0.25, 0.125 + 55 + 2 * 0.25));
        QCOMPARE(document.group(GroupTags::Tools)->definedValues().size(), 9 * 8);
    }

    // A save that fails must lose nothing. The failures are real: a full tmpfs in
    // a private mount namespace, and a directory an unprivileged user may not
    // write (root ignores directory permissions); both met by a child process.
    void failedSaves()
    {
        QVERIFY(runChild({"unshare", "-rm", "sh", "-c",
                          "mount -t tmpfs -o size=16k tmpfs \"$SAVE_DIR\" && exec \"$0\"",
                          QCoreApplication::applicationFilePath()},
                         m_dir->path(), "No space left on device"));
        // The tmpfs ended with the child's namespace: the folder is empty again.
        const QString file = path("backup.vrk");
        QVERIFY(writeExisting(file));
        QStringList command{QCoreApplication::applicationFilePath()};
        QTemporaryDir binDir;
        if (::geteuid() == 0) {
            // The user may write the file, only not the directory it lies in.
            QCOMPARE(::chown(qPrintable(file), 65534, 65534), 0);
            // The build tree may lie where that user cannot reach it: run a copy
            // of this test from a directory open to everyone.
            const QString binary = binDir.filePath(QStringLiteral("tst_backup"));
            QVERIFY(QFile::copy(command.first(), binary));
            QVERIFY(QFile::setPermissions(binDir.path(), Open) &&
                    QFile::setPermissions(binary, Open));
            command = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", binary};
        }
        const QByteArray before = read(file);
        QVERIFY(QFile::setPermissions(m_dir->path(), Open & ~QFile::WriteOwner));
        auto restore = qScopeGuard([&] { QFile::setPermissions(m_dir->path(), Open); });

        QVERIFY(runChild(command, m_dir->path(), "Permission denied"));
        // Seen from outside the child as well.
        QCOMPARE(read(file), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"backup.vrk"});
    }

    // A pipe, a device or a directory is refused before it is opened: opening a
    // pipe for reading waits for a writer, with the window frozen.
    void notRegularFiles()
    {
        const QString fifo = path("fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        std::atomic<bool> done = false;
        // Lets a reader stuck on the pipe go after two seconds, so that the fault
        // fails the test instead of hanging it.
        std::thread writer([&done, name = QFile::encodeName(fifo)] {
            for (int tick = 0; !done; ++tick) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                if (tick < 20)
                    continue;
                if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                    ::close(fd);
            }
        });
        for (const QString &name : {fifo, m_dir->path(), QStringLiteral("/dev/zero")}) {
            const auto file = BackupFile(name).load();
            QVERIFY2(!file && file.error().startsWith("Not a regular file"), qPrintable(name));
        }
        done = true;
        writer.join();
        QCOMPARE(BackupFile(path("none")).load().error(), QString("No such file or directory"));
    }

    void imports_data()
    {
        QTest::addColumn<QJsonObject>("root");
        QTest::addColumn<ModelVersion>("version");
        QTest::addColumn<Filled>("filled");
        QTest::addColumn<QList<qsizetype>>("missed");

        // VrkD1 v8 has rows 0-59, 76 and 77; VrkC1 lacks 13, 14, 19, 24, 26, 27.
        auto old = [](QJsonObject root, const QString &key, qsizetype count) {
            root.insert(key, numbers(count, 100.0, 1.0)); // old value k is 100 + k
            return root;
        };
        // Ranges {first, last, oldFirst} paired element by element.
        const auto ranges = [](std::initializer_list<std::array<qsizetype, 3>> list) {
            Filled filled;
            for (const auto &[first, last, oldFirst] : list)
                for (qsizetype i = first; i <= last; ++i)
                    filled.insert(i, oldFirst + i - first);
            return filled;
        };
        const Filled level1 = ranges({{0, 12, 0},
                                      {15, 25, 13},
                                      {28, 28, 25},
                                      {29, 29, 27},
                                      {30, 30, 28},
                                      {31, 32, 30},
                                      {33, 52, 33}});
        Filled level2 = level1;
        level2.insert(53, 32);
        Filled level5 = level2;
        level5.insert(57, 29);
        const Filled short3 = ranges({{0, 12, 0}, {15, 21, 13}});

        const auto row = [](const char *name, const QJsonObject &root, Filled filled,
                            const ModelVersion &version = ModelVersion(VrkD1, 8),
                            const QList<qsizetype> &absent = {}) {
            QList<qsizetype> missed; // rows the machine lacks take nothing and miss nothing
            for (qsizetype i = 0; i <= 77; ++i) {
                if (absent.contains(i))
                    filled.remove(i);
                else if ((i < 60 || i > 75) && !filled.contains(i))
                    missed.append(i);
            }
            QTest::newRow(name) << root << version << filled << missed;
        };
        // Level 1's pairs are also levels 2 and 5's, checked on VrkD1 below.
        row("no machine, VrkC1",
            old({{"dataLevel", 1}, {"rparams", QJsonArray{1}}}, "techparams", 53), level1,
            ModelVersion(VrkC1, 8), {13, 14, 19, 24, 26, 27});
        row("CVRK 5", old({{"machine", "CVRK"}, {"dataLevel", 5}}, "techparams", 53), level5);
        // What lies past the end of too short an old array is not imported.
        row("CVRK 3 short", old({{"machine", "CVRK"}, {"dataLevel", 3}}, "techparams", 20), short3);
        row("VRK 3",
            old({{"machine", "VRK"}, {"dataLevel", 3}, {"type", "global"}}, "techparams", 60),
            ranges({{0, 56, 0}}));
        // Single-section layout; family texts compare exactly, so "vrk" is CVRK.
        row("single section, vrk",
            old({{"machine", "vrk"}, {"dataLevel", 2}, {"type", "TECHPARAMS"}}, "values", 53),
            level2);
        row("only tools", old({{"type", "Tools"}}, "values", 3), {});
    }

    void imports()
    {
        QFETCH(QJsonObject, root);
        QFETCH(ModelVersion, version);
        QFETCH(Filled, filled);

        BackupImport import(write(json(root)));
        QVERIFY(import.load() && import.selectMapping() && import.parseSections());
        TechParameters group;
        for (qsizetype i = 0; i < group.valueCount(); ++i)
            group.value(i).reset(-1.0);
        QSignalSpy changed(&group, &ParameterGroup::DataChangedPrivate);
        QTEST(import.importTechParams(&group, version), "missed");
        // One signal for an import that changed something; none for one that did not.
        QCOMPARE(changed.size(), filled.isEmpty() ? 0 : 1);
        for (qsizetype i = 0; i < group.valueCount(); ++i) {
            const double expected = filled.contains(i) ? 100.0 + filled.value(i) : -1.0;
            QVERIFY2(group.value(i).value() == expected, qPrintable(QString::number(i)));
            QCOMPARE(group.value(i).isModified(), filled.contains(i));
        }
    }

    // The message of load() or parseSections(); none where selectMapping refuses the file.
    void importRefused()
    {
        const std::pair<QByteArray, QString> cases[] = {
            {json({{"machine", "VRK"}, {"dataLevel", 1}, {"techparams", {}}}), {}},
            {json({{"machine", "ZUM"}, {"dataLevel", 2}}), {}},
            {json({{"dataLevel", 6}}), {}},
            {json({{"type", "Global"}, {"values", QJsonArray{1}}}), "Section Global unknown."},
            {json({{"notes", "x"}, {"techparams", QJsonArray{1}}}),
             "Section notes is not an array."},
            {json({{"techparams", QJsonArray{1}}, {"axes", QJsonArray{}}}),
             "Section axes unknown."},
            {json({{"type", "rparams"}, {"values", 3}}),
             "Section values missing or is not an array."},
            {R"({"machine": "CVRK")", "Error: unterminated string on position 18"},
            {"[1, 2]", "The file holds no backup: its content is not a JSON object."}};
        for (const auto &[bytes, message] : cases) {
            BackupImport import(write(bytes));
            const auto loaded = import.load();
            QString said = loaded ? QString() : loaded.error();
            if (loaded && import.selectMapping()) {
                const auto parsed = import.parseSections();
                said = parsed ? QStringLiteral("(parsed)") : parsed.error();
            }
            QCOMPARE(said, message);
        }
    }

    // The import changes values behind the group's back; unless the group tells,
    // the document stays clean and could be closed without the save question.
    // Null and text leave the value as it was (numbers no 32-bit float holds:
    // the backup_import replay).
    void importIntoDocument()
    {
        BackupDocument document;
        ParameterGroup *group = document.group(GroupTags::TechParams);
        QSignalSpy whole(group, &ParameterGroup::DataChangedPrivate);
        QSignalSpy dirty(&document, &BackupDocument::dirtyChanged);
        QJsonArray old = numbers(53, 100.0, 1.0);
        old[0] = QJsonValue::Null;
        old[1] = QStringLiteral("12");
        old[2] = true;
        old[3] = 3.4e38;
        BackupImport import(
            write(json({{"machine", "CVRK"}, {"dataLevel", 2}, {"techparams", old}})));
        QVERIFY(import.load() && import.selectMapping() && import.parseSections());
        const auto missed = import.importTechParams(group, document.version());
        QCOMPARE(whole.size(), 1);
        QVERIFY(document.isDirty() && !document.isUntouched());
        QCOMPARE(dirty.size(), 1);
        QCOMPARE(missed.mid(0, 3), QList<qsizetype>({0, 1, 2}));
        for (qsizetype i = 0; i < 3; ++i)
            QVERIFY(group->value(i).value() == 0.0 && !group->value(i).isModified());
        QCOMPARE(group->value(3).value(), 3.4e38);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("SAVE_DIR")) {
        SaveFails child;
        return QTest::qExec(&child, argc, argv);
    }
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
