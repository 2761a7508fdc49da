// The File commands of the main window against the simulator: backup
// creation, restore and program upload, with the file dialogs answered here
// and the simulator's own log of writes as the witness of what reached it.
#include "acpu/modbusconnection.h"
#include "app/mainwindow.h"
#include "backup/backupcreator.h"
#include "backup/backupfile.h"
#include "backup/backuprestorer.h"
#include "backup/programuploader.h"
#include "backup/safetycopies.h"
#include "backupdata.h"
#include "model/groupfactory.h"
#include "model/machine.h"
#include "model/parametergroup.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QJsonArray>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Writes = QList<std::pair<int, int>>; // (first variable, count) per write

namespace {
constexpr int LongMs = 30000;

// A value per variable that no other variable holds.
float distinct(int variable, float offset = 0)
{
    return float(variable) * 0.5f + 0.25f + offset;
}

struct Station
{
    SimProcess sim;
    Acpu::ModbusConnection connection;
    Machine machine{&connection};
    std::unique_ptr<MainWindow> window;
    qsizetype logMark = 0;

    bool start(const QStringList &options = {})
    {
        if (!sim.start(options + QStringList{QStringLiteral("--log-writes")}))
            return false;
        connection.SetHost(sim.host());
        if (!QTest::qWaitFor([&] { return connection.State() == Acpu::Connection::Connected; },
                             LongMs) ||
            !RunToEnd(machine.requestIdentification()).isEmpty() || !machine.updateIdentification())
            return false;
        window = std::make_unique<MainWindow>(&machine);
        window->show();
        return true;
    }
    // Fills the four backup groups and tool row T0 with distinct values.
    bool fill(float offset = 0)
    {
        QList<std::pair<int, float>> values;
        for (const auto &[first, count] : {std::pair{1024, 336}, {1544, 48}, {1792, 256}})
            for (int v = first; v < first + count; ++v)
                values.append({v, distinct(v, offset)});
        const bool ok = RunToEnd(connection.WriteValues(values)).isEmpty();
        logMark = sim.log().size();
        return ok;
    }
    float read(int variable)
    {
        return RunToEnd(connection.Read({{variable, 1}})).isEmpty() ? connection.ReadFloat(variable)
                                                                    : -1e9f;
    }
    // The writes the simulator logged since the last fill().
    Writes writes()
    {
        static const QRegularExpression line(QStringLiteral("vrk6-sim: write (\\d+) (\\d+)"));
        Writes result;
        for (auto m = line.globalMatch(sim.log().mid(logMark)); m.hasNext();) {
            const auto match = m.next();
            result.append({match.captured(1).toInt(), match.captured(2).toInt()});
        }
        return result;
    }
    void trigger(const char *action)
    {
        window->findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }
    qsizetype jobs() const
    {
        return window->findChildren<BackupCreator *>().size() +
               window->findChildren<BackupRestorer *>().size() +
               window->findChildren<ProgramUploader *>().size();
    }
    QList<QMessageBox *> boxes() const
    {
        QList<QMessageBox *> open;
        for (QMessageBox *box : window->findChildren<QMessageBox *>())
            if (box->isVisible())
                open.append(box);
        return open;
    }
    // Waits for every job to end and returns the one box it left.
    QMessageBox *lastBox()
    {
        if (!QTest::qWaitFor([&] { return jobs() == 0; }, LongMs))
            return nullptr;
        QTest::qWait(50);
        const QList<QMessageBox *> open = boxes();
        return open.size() == 1 ? open.first() : nullptr;
    }
};

QFileDialog *fileDialog()
{
    QFileDialog *found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QFileDialog *>(widget);
                    dialog && dialog->isVisible())
                    found = dialog;
            return found != nullptr;
        },
        LongMs);
    return found;
}

// selection: a path, or names in directory
void answer(QFileDialog *dialog, const QString &selection, const QString &directory = {})
{
    dialog->setDirectory(directory.isEmpty() ? QFileInfo(selection).path() : directory);
    // As typed: selectFile() leaves a focused name field alone.
    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
        ->setText(directory.isEmpty() ? QFileInfo(selection).fileName() : selection);
    // What the dialog's Open/Save button does.
    QMetaObject::invokeMethod(dialog, "accept");
}

int total(const Writes &writes)
{
    int sum = 0;
    for (const auto &[first, count] : writes)
        sum += count;
    return sum;
}
} // namespace

class TestMachineJobs : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }
    QString safetyDirectory() const { return SafetyCopies::defaultDirectory(); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Safety copies of this run only, whatever ran before.
        QCoreApplication::setApplicationName(
            QStringLiteral("tst_machinejobs-%1").arg(QCoreApplication::applicationPid()));
        QVERIFY(dir.isValid());
    }
    void cleanupTestCase()
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    void createBackup()
    {
        Station s;
        QVERIFY(s.start());
        QVERIFY(s.fill());
        // Two commands run two jobs; the one whose dialog is cancelled ends.
        s.trigger("actionCreateBackup");
        s.trigger("actionCreateBackup");
        QCOMPARE(s.jobs(), 2);
        QFileDialog *first = fileDialog();
        QVERIFY(first);
        first->reject();
        QTRY_COMPARE_WITH_TIMEOUT(s.jobs(), 1, LongMs);
        answer(fileDialog(), path("created.vrk"));
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Backup was created successfully."));

        BackupFile file(path("created.vrk"));
        QVERIFY(file.load());
        QCOMPARE(file.machine(), s.machine.modelVersion());
        QVERIFY(!file.hasSection(GroupTags::Teeth));
        for (int tag = GroupTags::TechParams; tag <= GroupTags::Tools; ++tag) {
            QVERIFY(file.hasSection(tag));
            std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
            group->fromJson(file.section(tag), true);
            // The tool row T0 does not travel in a file.
            for (qsizetype i = tag == GroupTags::Tools ? 8 : 0; i < group->valueCount(); ++i)
                QCOMPARE(float(group->value(i).value()), distinct(group->firstVariable() + int(i)));
        }
    }

    void readFailureSavesNothing()
    {
        Station s;
        QVERIFY(s.start({QStringLiteral("--exception-range"), QStringLiteral("1544:48")}));
        s.trigger("actionCreateBackup");
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("There was an error reading data from the machine."));
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QFileDialog *>(widget));
    }

    void cancelledDialogEndsTheJob_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("create") << "actionCreateBackup";
        QTest::newRow("restore") << "actionRestoreBackup";
        QTest::newRow("upload") << "actionLoadProgram";
    }
    void cancelledDialogEndsTheJob()
    {
        QFETCH(QString, action);
        Station s;
        QVERIFY(s.start());
        s.trigger(qPrintable(action));
        QFileDialog *dialog = fileDialog();
        QVERIFY(dialog);
        dialog->reject();
        QTRY_COMPARE_WITH_TIMEOUT(s.jobs(), 0, LongMs);
        QVERIFY(s.boxes().isEmpty());
    }

    // What the file carries reaches the machine, and nothing else: a partial
    // file writes its section only, a full one never the tool row T0.
    void restoreWritesOnlyWhatTheFileCarries_data()
    {
        QTest::addColumn<QStringList>("sections");
        QTest::addColumn<Writes>("expected");
        // R005 is null in the file: no number, not written.
        QTest::newRow("rparams") << QStringList{"rparams"}
                                 << Writes{{1792, 5},  {1798, 60}, {1858, 60},
                                           {1918, 60}, {1978, 60}, {2038, 10}};
        QTest::newRow("full") << QStringList{"techparams", "rparams", "coordsys", "tools", "teeth"}
                              << Writes{};
    }
    void restoreWritesOnlyWhatTheFileCarries()
    {
        QFETCH(QStringList, sections);
        QFETCH(Writes, expected);
        Station s;
        QVERIFY(s.start());
        QVERIFY(s.fill());
        QJsonObject root = BackupData::full();
        QJsonArray rValues = root["rparams"].toObject()["values"].toArray();
        rValues[5] = QJsonValue::Null;
        root["rparams"] = QJsonObject{{"values", rValues}};
        for (const QString &key : root.keys())
            if (!key.startsWith(u'_') && !sections.contains(key))
                root.remove(key);
        QVERIFY(BackupData::write(path("partial.vrk"), BackupData::json(root)));

        s.trigger("actionRestoreBackup");
        answer(fileDialog(), path("partial.vrk"));
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Backup was restored successfully."));

        const Writes writes = s.writes();
        if (!expected.isEmpty())
            QCOMPARE(writes, expected);
        // Four sections without T0 and R005: 256 + 255 + 48 + 72 variables.
        QCOMPARE(total(writes), sections.size() == 1 ? 255 : 631);
        for (int v : {1280, 1281, 1282, 1283, 1284, 1285, 1286, 1287, 1797})
            QCOMPARE(s.read(v), distinct(v));
        for (const auto &[first, count] : {std::pair{1024, 256}, {1288, 72}, {1544, 48}}) {
            if (sections.size() == 1) // untouched
                QCOMPARE(s.read(first + count - 1), distinct(first + count - 1));
        }
        QCOMPARE(s.read(1792 + 3), float(-7.0 + 3 * 0.5));

        // The safety copy holds the machine's values before the restore, of
        // the written sections only, and the box names it.
        const QStringList copies = SafetyCopies::list(safetyDirectory(), s.connection.Host());
        QVERIFY(!copies.isEmpty());
        QVERIFY(box->informativeText().contains(QDir::toNativeSeparators(copies.last())));
        BackupFile copy(copies.last());
        QVERIFY(copy.load());
        QCOMPARE(copy.hasSection(GroupTags::TechParams), sections.size() > 1);
        QVERIFY(!copy.hasSection(GroupTags::Teeth));
        std::unique_ptr<ParameterGroup> r(GroupFactory::create(GroupTags::RParams));
        r->fromJson(copy.section(GroupTags::RParams), true);
        for (qsizetype i = 0; i < r->valueCount(); ++i)
            QCOMPARE(float(r->value(i).value()), distinct(1792 + int(i)));
    }

    void restoreRefusalsWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("title"); // of the one box left, empty for none
        QTest::addColumn<QString>("detail");
        QJsonObject other = BackupData::full(QStringLiteral("VrkC1"), 7);
        QTest::newRow("other version, No") << BackupData::json(other) << QString() << QString();
        QJsonObject bad = BackupData::full();
        bad.insert(QStringLiteral("_version"), -1);
        QTest::newRow("schema") << BackupData::json(bad) << "Restore Failed"
                                << "Validation error #1";
        QTest::newRow("no sections") << BackupData::json({{"_machine", "VrkC1"}, {"_version", 8}})
                                     << "Restore Failed" << QString();
        QTest::newRow("two files") << QByteArray() << QString() << QString();
    }
    void restoreRefusalsWriteNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, detail);
        Station s;
        QVERIFY(s.start());
        QVERIFY(s.fill());
        const QString a = path("a.vrk"), b = path("b.vrk");
        QVERIFY(BackupData::write(a, content.isEmpty() ? BackupData::json(BackupData::full())
                                                       : content));
        QVERIFY(BackupData::write(b, BackupData::json(BackupData::full())));
        s.trigger("actionRestoreBackup");
        answer(fileDialog(), content.isEmpty() ? QStringLiteral("\"a.vrk\" \"b.vrk\"") : a,
               dir.path());
        if (QTest::currentDataTag() == QByteArray("other version, No")) {
            QTRY_COMPARE_WITH_TIMEOUT(s.boxes().size(), 1, LongMs);
            QMessageBox *question = s.boxes().first();
            QVERIFY(question->text().contains(QStringLiteral("VRK-C1 (v. 7)")));
            QCOMPARE(question->defaultButton(), question->button(QMessageBox::No));
            question->button(QMessageBox::No)->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(s.jobs(), 0, LongMs);
        QTest::qWait(50);
        if (title.isEmpty()) {
            QVERIFY(s.boxes().isEmpty());
        } else {
            QCOMPARE(s.boxes().size(), 1);
            QCOMPARE(s.boxes().first()->windowTitle(), title);
            QVERIFY(s.boxes().first()->detailedText().contains(detail));
        }
        QCOMPARE(s.writes(), Writes{});
    }

    void readBackNamesClampedValues()
    {
        Station s;
        // R000..R029 stored at most 10.
        QVERIFY(s.start({QStringLiteral("--clamp"), QStringLiteral("1792:30:10")}));
        QJsonObject root = BackupData::full();
        root.insert(QStringLiteral("rparams"),
                    QJsonObject{{"values", BackupData::numbers(256, 100.0, 1.0)}});
        QVERIFY(BackupData::write(path("clamped.vrk"), BackupData::json(root)));
        s.trigger("actionRestoreBackup");
        answer(fileDialog(), path("clamped.vrk"));
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QVERIFY(box->text().contains(QStringLiteral("30 of the values")));
        const QStringList lines = box->informativeText().split(u'\n');
        QCOMPARE(lines.first(), QStringLiteral("R Parameters: R000: sent 100, read 10"));
        QCOMPARE(lines.at(20), QStringLiteral("and 10 more"));
    }

    void unsavedSafetyCopyAsksFirst()
    {
        Station s;
        QVERIFY(s.start());
        QVERIFY(s.fill());
        // A file where the folder should be: the copy cannot be saved.
        QDir().mkpath(QFileInfo(safetyDirectory()).path());
        QDir(safetyDirectory()).removeRecursively();
        QVERIFY(BackupData::write(safetyDirectory(), "x"));
        QVERIFY(BackupData::write(path("full.vrk"), BackupData::json(BackupData::full())));
        for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
            s.trigger("actionRestoreBackup");
            answer(fileDialog(), path("full.vrk"));
            QTRY_COMPARE_WITH_TIMEOUT(s.boxes().size(), 1, LongMs);
            QMessageBox *question = s.boxes().first();
            QCOMPARE(question->windowTitle(), QStringLiteral("Safety Copy Failed"));
            QCOMPARE(question->defaultButton(), question->button(QMessageBox::No));
            question->button(button)->click();
            if (button == QMessageBox::No) {
                QTRY_COMPARE_WITH_TIMEOUT(s.jobs(), 0, LongMs);
                QCOMPARE(s.writes(), Writes{});
            }
        }
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Backup was restored successfully."));
        QCOMPARE(total(s.writes()), 632);
        QFile::remove(safetyDirectory());
    }

    void safetyCopiesKeepTheNewestPerHost()
    {
        QTemporaryDir copies;
        const QDateTime start(QDate(2026, 1, 2), QTime(3, 4, 5));
        for (int n = 0; n < SafetyCopies::KeepPerHost + 2; ++n)
            QVERIFY(BackupData::write(
                SafetyCopies::newFileName(copies.path(), "[fe80::1]:1502", start.addSecs(n / 2)),
                "{}"));
        const QString other = SafetyCopies::newFileName(copies.path(), "fe80::1", start);
        QVERIFY(BackupData::write(other, "{}"));
        const QStringList before = SafetyCopies::list(copies.path(), "[fe80::1]:1502");
        QCOMPARE(before.size(), SafetyCopies::KeepPerHost + 2);
        QVERIFY(before.at(1).endsWith(QStringLiteral("_fe80__1__1502-20260102-030405-2.vrk")));
        SafetyCopies::prune(copies.path(), "[fe80::1]:1502");
        QCOMPARE(SafetyCopies::list(copies.path(), "[fe80::1]:1502"), before.mid(2));
        QVERIFY(QFile::exists(other));
    }

    void upload_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("result");
        QTest::addColumn<Writes>("expected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informative");
        const QString ok = QStringLiteral("Program was uploaded successfully.");
        QTest::newRow("empty") << 0 << 2 << Writes{{513, 1}, {515, 1}} << ok << QString();
        QTest::newRow("240 bytes")
            << 240 << 2 << Writes{{513, 1}, {515, 60}, {515, 1}} << ok << QString();
        QTest::newRow("480 bytes, equal chunks")
            << 480 << 2 << Writes{{513, 1}, {515, 60}, {515, 60}, {515, 1}} << ok << QString();
        QTest::newRow("236 bytes") << 236 << 2 << Writes{{513, 1}, {515, 60}} << ok << QString();
        QTest::newRow("7 bytes, result 5")
            << 7 << 5 << Writes{{513, 1}, {515, 3}}
            << QStringLiteral("There was an error uploading the program.") << "Error code: 2";
        QTest::newRow("result 1") << 4 << 1 << Writes{{513, 1}, {515, 2}}
                                  << "There was an unexpected problem uploading the program."
                                  << "Result code: 1";
    }
    void upload()
    {
        QFETCH(int, size);
        QFETCH(int, result);
        QFETCH(Writes, expected);
        QFETCH(QString, text);
        QFETCH(QString, informative);
        QTemporaryDir programs;
        Station s;
        QVERIFY(s.start({QStringLiteral("--programs"), programs.path(),
                         QStringLiteral("--upload-result"), QString::number(result)}));
        QByteArray content;
        for (int i = 0; i < size; ++i)
            content.append(char('A' + i % 24)); // 60 words repeat
        QVERIFY(BackupData::write(path("program.cnc"), content));
        s.trigger("actionLoadProgram");
        answer(fileDialog(), path("program.cnc"));
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->informativeText(), informative);
        QCOMPARE(s.writes(), expected);
        // The simulator drops the zero bytes that fill the last word.
        QCOMPARE(BackupData::read(QDir(programs.path()).filePath("program-001.cnc")), content);
    }

    void uploadRefusals_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("state");          // written to 513 first
        QTest::addColumn<QByteArray>("program"); // null: no dialog expected
        QTest::addColumn<QString>("text");
        const QString notReady = QStringLiteral("Machine is not ready for program upload.");
        QTest::newRow("disabled") << QStringList{"--upload-disabled"} << 0 << QByteArray()
                                  << notReady;
        QTest::newRow("busy") << QStringList{} << 1 << QByteArray() << notReady;
        QTest::newRow("16 MiB + 1")
            << QStringList{} << 0 << QByteArray(16 * 1024 * 1024 + 1, 'G')
            << "The program file is larger than 16 MiB, the largest program that is sent.";
        QTest::newRow("zero word inside")
            << QStringList{} << 0 << QByteArray("G90\n\0\0\0\0G01\n", 12)
            << "There was an error loading the program file.";
    }
    void uploadRefusals()
    {
        QFETCH(QStringList, options);
        QFETCH(int, state);
        QFETCH(QByteArray, program);
        QFETCH(QString, text);
        Station s;
        QVERIFY(s.start(options));
        QVERIFY(RunToEnd(s.connection.WriteInt(513, state)).isEmpty());
        QVERIFY(s.fill());
        s.trigger("actionLoadProgram");
        if (!program.isNull()) {
            QVERIFY(BackupData::write(path("refused.cnc"), program));
            answer(fileDialog(), path("refused.cnc"));
        }
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY(!program.isNull() || !qobject_cast<QFileDialog *>(widget));
        QCOMPARE(s.writes(), Writes{});
    }

    // A machine that goes away mid-request: one box, and the job is gone.
    void machineLostMidRequest_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("file"); // answered to the dialog, if any
        QTest::newRow("create") << "actionCreateBackup" << QString();
        QTest::newRow("restore") << "actionRestoreBackup"
                                 << "full.vrk";
        QTest::newRow("upload") << "actionLoadProgram"
                                << "big.cnc";
    }
    void machineLostMidRequest()
    {
        QFETCH(QString, action);
        QFETCH(QString, file);
        QVERIFY(BackupData::write(path("full.vrk"), BackupData::json(BackupData::full())));
        QVERIFY(BackupData::write(path("big.cnc"), QByteArray(100000, 'G')));
        Station s;
        QVERIFY(s.start({QStringLiteral("--delay"), QStringLiteral("100")}));
        s.trigger(qPrintable(action));
        if (!file.isEmpty())
            answer(fileDialog(), path(file));
        QTRY_VERIFY_WITH_TIMEOUT(s.sim.log().contains(QStringLiteral("connection from")), LongMs);
        QTest::qWait(300);
        s.sim.stop();
        QMessageBox *box = s.lastBox();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Communication Error"));
    }
};

QTEST_MAIN(TestMachineJobs)
#include "tst_machinejobs.moc"
