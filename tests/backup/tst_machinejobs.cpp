// The File commands of the main window against the simulator: backup
// creation, restore and program upload, with the file dialogs answered here
// and the simulator's log of writes and its state file as the witnesses of
// what reached it.
#include "acpu/modbusconnection.h"
#include "app/mainwindow.h"
#include "backup/backupcreator.h"
#include "backup/backupfile.h"
#include "backup/backuprestorer.h"
#include "backup/programuploader.h"
#include "backup/safetycopies.h"
#include "backupdata.h"
#include "connectto.h"
#include "distinctvalues.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simprocess.h"
#include "simulateduser.h"
#include "widgetlookup.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using Writes = QList<std::pair<int, int>>; // (first variable, count) per write
using namespace BackupData;

namespace {
constexpr int LongMs = 30000;

// One simulator, its window, and a folder for its state, programs and the
// files the test hands to the dialogs.
struct Station
{
    QTemporaryDir dir;
    SimProcess sim;
    Acpu::ModbusConnection connection;
    Machine machine{&connection};
    std::unique_ptr<MainWindow> window;

    QString path(const QString &name) const { return dir.filePath(name); }
    // The backup groups hold DistinctValues::of(v, 1).
    bool start(const QStringList &options = {})
    {
        const QString state = DistinctValues::stateFile(path("state"), 1);
        if (!sim.start(options + QStringList{"--log-writes", "--programs", path("programs"),
                                             "--state", state}) ||
            !ConnectTo(connection, sim.host(), LongMs) ||
            !RunToEnd(machine.requestIdentification()).isEmpty() || !machine.updateIdentification())
            return false;
        window = std::make_unique<MainWindow>(&machine);
        window->show();
        return true;
    }
    Writes writes()
    {
        static const QRegularExpression line(QStringLiteral("vrk6-sim: write (\\d+) (\\d+)"));
        Writes result;
        for (const QRegularExpressionMatch &m : line.globalMatch(sim.log()))
            result.append({m.captured(1).toInt(), m.captured(2).toInt()});
        return result;
    }
    void run(const QString &action, const QString &names = {})
    {
        window->findChild<QAction *>(action)->trigger();
        if (!names.isEmpty())
            answer(names);
    }
    static QFileDialog *fileDialog()
    {
        return qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    }
    // Gives names in dir to the file dialog in front, or rejects it for "cancel".
    void answer(const QString &names)
    {
        (void)QTest::qWaitFor([] { return fileDialog() != nullptr; }, LongMs);
        QFileDialog *dialog = fileDialog();
        if (dialog && names == QStringLiteral("cancel"))
            dialog->reject();
        else if (dialog) // as typed: selectFile() leaves a focused name field alone
            typeInFileDialog(dialog, dir.path(), names);
    }
    // Answers the one question shown, which must default to No.
    bool ask(const QString &says, QMessageBox::StandardButton button)
    {
        if (!QTest::qWaitFor([&] { return shownWindows<QMessageBox>().size() == 1; }, LongMs))
            return false;
        QMessageBox *question = shownWindows<QMessageBox>().first();
        QAbstractButton *answer = question->button(button);
        const bool right = (question->windowTitle() + question->text()).contains(says) &&
                           question->defaultButton() == question->button(QMessageBox::No) && answer;
        if (answer)
            answer->click();
        else // another box (a failed read): fail the check, do not crash it
            question->reject();
        return right;
    }
    qsizetype jobs() const
    {
        return window->findChildren<BackupCreator *>().size() +
               window->findChildren<BackupRestorer *>().size() +
               window->findChildren<ProgramUploader *>().size();
    }
    // Waits for every job to end: the title and texts of the one box left,
    // one per line, or "(boxes: N)".
    QString lastBox()
    {
        (void)QTest::qWaitFor([&] { return jobs() == 0; }, LongMs);
        QTest::qWait(50);
        const QList<QMessageBox *> open = shownWindows<QMessageBox>();
        if (jobs() != 0 || open.size() != 1)
            return QStringLiteral("(jobs: %1, boxes: %2)").arg(jobs()).arg(open.size());
        return QStringList{open[0]->windowTitle(), open[0]->text(), open[0]->informativeText(),
                           open[0]->detailedText()}
            .join(u'\n');
    }
};
} // namespace

class TestMachineJobs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Safety copies of this run only, whatever ran before.
        QCoreApplication::setApplicationName(
            QStringLiteral("tst_machinejobs-%1").arg(QCoreApplication::applicationPid()));
    }
    void cleanupTestCase()
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    // Two commands run two jobs; the one whose dialog is cancelled ends. What a
    // restored file carries reaches the machine and nothing else: not the
    // section it lacks (coordsys), not the tool row T0, which no file carries,
    // not R005, null in the file. The safety copy is of the sections written; a
    // restore asks first when none can be saved. The window stays open while a
    // job talks to the machine (a restore cut short leaves it half written) and
    // ends a job waiting in its file dialog.
    void createAndRestore()
    {
        Station s;
        QVERIFY(s.start());
        s.run("actionCreateBackup");
        s.run("actionCreateBackup");
        QCOMPARE(s.jobs(), 2);
        s.answer("cancel");
        QTRY_COMPARE_WITH_TIMEOUT(s.jobs(), 1, LongMs);
        s.answer("created.vrk");
        QString box = s.lastBox();
        QVERIFY2(box.contains("\nBackup was created successfully.\n"), qPrintable(box));
        shownWindows<QMessageBox>().first()->accept();
        BackupFile file(s.path("created.vrk"));
        QVERIFY(file.load());
        QCOMPARE(file.machine(), s.machine.modelVersion());
        QCOMPARE(DistinctValues::sections(file), DistinctValues::Tags); // no teeth

        const QString name =
            DistinctValues::backupFile(s.path("restore.vrk"), s.machine.modelVersion(), 2,
                                       {{1797, std::numeric_limits<double>::quiet_NaN()}});
        QJsonObject root = QJsonDocument::fromJson(read(name)).object();
        root.insert("teeth", teeth());
        root.remove("coordsys");
        QVERIFY(write(name, json(root)));
        s.run("actionRestoreBackup", "restore.vrk");
        QVERIFY(!s.window->close());                     // while the safety copy is read
        QCOMPARE(shownWindows<QMessageBox>().size(), 1); // why not closed
        qDeleteAll(shownWindows<QMessageBox>());
        box = s.lastBox();
        QVERIFY2(box.contains("\nBackup was restored successfully.\n") &&
                     box.contains("left as the machine has them: 1."),
                 qPrintable(box));
        // The copy holds the machine's values before, and the box names it.
        const QStringList copies =
            SafetyCopies::list(SafetyCopies::defaultDirectory(), s.connection.Host());
        QVERIFY(!copies.isEmpty() && box.contains(QDir::toNativeSeparators(copies.last())));
        BackupFile copy(copies.last());
        QVERIFY(copy.load());
        QCOMPARE(DistinctValues::sections(copy),
                 (QList<int>{GroupTags::TechParams, GroupTags::RParams, GroupTags::Tools}));
        QCOMPARE(DistinctValues::differences(copy, 1), QList<int>());
        shownWindows<QMessageBox>().first()->accept();

        // A file where the folder should be: the copy cannot be saved. The same
        // file again, so the machine ends as the first restore left it.
        const QString folder = SafetyCopies::defaultDirectory();
        QDir(folder).removeRecursively();
        QVERIFY(write(folder, "x"));
        auto removeFile = qScopeGuard([&] { QFile::remove(folder); });
        const Writes written = s.writes();
        for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
            s.run("actionRestoreBackup", "restore.vrk");
            QVERIFY(s.ask("Safety Copy Failed", button));
            if (button == QMessageBox::No) {
                QTRY_COMPARE_WITH_TIMEOUT(s.jobs(), 0, LongMs);
                QCOMPARE(s.writes(), written);
            }
        }
        // Written and read back equal.
        QVERIFY(s.lastBox().contains("\nBackup was restored successfully.\n"));
        shownWindows<QMessageBox>().first()->accept();

        s.run("actionLoadProgram");
        QTRY_VERIFY_WITH_TIMEOUT(Station::fileDialog(), LongMs);
        QVERIFY(s.window->close());
        QCOMPARE(s.jobs(), 0);
        QVERIFY(!QApplication::activeModalWidget());

        s.sim.stop(); // which writes its parameter memory to the state file
        const QJsonObject state =
            QJsonDocument::fromJson(read(s.path("state")))["variables"].toObject();
        for (int tag : DistinctValues::Tags) {
            std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
            for (int i = 0; i < group->valueCount(); ++i) {
                const int v = group->firstVariable() + i;
                const bool carried =
                    v != 1797 && tag != GroupTags::Coordsys && (tag != GroupTags::Tools || i >= 8);
                QVERIFY2(state[QString::number(v)].toInteger() ==
                             std::bit_cast<quint32>(DistinctValues::of(v, carried ? 2 : 1)),
                         qPrintable(QString::number(v)));
            }
        }
    }

    // Every job ends in exactly one box (none when its dialog is cancelled or
    // a question answered No), deletes itself, and writes only what it is
    // meant to. In the rows ending in a communication error the simulator is
    // stopped mid-request.
    void jobsEndInOneBox_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("dialog");     // names given to the dialog; none: no dialog
        QTest::addColumn<QByteArray>("content"); // of a.vrk (else a full backup)
        QTest::addColumn<QString>("box");        // lines found in the box's texts; empty: no box
        QTest::addColumn<Writes>("writes");      // by the job

        const QString create = "actionCreateBackup", restore = "actionRestoreBackup",
                      upload = "actionLoadProgram", lost = "Communication Error",
                      uploaded = "Program was uploaded successfully.";
        const QStringList none, delay{"--delay", "100"};
        const auto row = [](const char *name, const QString &action, const QStringList &options,
                            const QString &dialog, const QByteArray &content, const QString &box,
                            const Writes &writes = {}) {
            QTest::newRow(name) << action << options << dialog << content << box << writes;
        };
        const auto program = [](int size) { // 60 words repeat
            return QByteArray("ABCDEFGHIJKLMNOPQRSTUVWX").repeated(10).left(size);
        };
        const QByteArray stamp = json({{"_machine", "VrkC1"}, {"_version", 8}});
        QJsonObject rparams{{"_machine", "VrkC1"}, {"_version", 8}};
        rparams.insert("rparams", QJsonObject{{"values", numbers(256, 100.0, 1.0)}});

        row("create, read fails", create, {"--exception-range", "1544:48"}, {}, {},
            "There was an error reading data from the machine.");
        row("restore, cancelled", restore, none, "cancel", {}, {});
        row("upload, cancelled", upload, none, "cancel", {}, {});
        row("restore, other version, No", restore, none, "a.vrk", json(full("VrkC1", 7)), {});
        row("restore, refused file", restore, none, "a.vrk", "{", "Restore Failed\nError: ");
        row("restore, no sections", restore, none, "a.vrk", stamp, "Restore Failed");
        row("restore, two files", restore, none, "\"a.vrk\" \"b.vrk\"", {}, {});
        // The read-back check: R000..R029 stored at most 10.
        row("restore, clamped", restore, {"--clamp", "1792:30:10"}, "a.vrk", json(rparams),
            "Restore Not Verified\n30 of the values\nR Parameters: R000: sent 100, read 10\n"
            "and 10 more",
            {{1792, 60}, {1852, 60}, {1912, 60}, {1972, 60}, {2032, 16}});
        // A restore cut short says what the machine holds now; the second
        // one without a safety copy.
        const QStringList refused{"--exception-range", "1900:10"};
        // In variable order; no file carries T0 (1280..1287).
        const Writes cutShort{{1024, 60}, {1084, 60}, {1144, 60}, {1204, 60}, {1264, 16},
                              {1288, 60}, {1348, 12}, {1544, 48}, {1792, 60}};
        row("restore, copy unread", restore, refused, "a.vrk", {},
            "There was an error reading data from the machine.\nNothing was written");
        row("restore, cut short", restore, refused, "a.vrk", {},
            "There was an error writing data to the machine.\nWritten before the error: "
            "Technological Parameters, R Parameters (in part), G54 - G59, Tools Parameters.\n",
            cutShort);
        // Not enabled: tst_cli uploadSeveral.
        row("upload, busy", upload, none, {}, {}, "Machine is not ready for program upload.");
        // Another upload began while the file dialog stood open.
        row("upload, busy once chosen", upload, none, "a.vrk", program(8),
            "Machine is not ready for program upload.", {{513, 1}});
        row("upload, 16 MiB + 1", upload, none, "a.vrk", QByteArray(16 * 1024 * 1024 + 1, 'G'),
            "The program file is larger than 16 MiB, the largest program that is sent.");
        row("upload, zero word inside", upload, none, "a.vrk", QByteArray("G90\n\0\0\0\0G01\n", 12),
            "There was an error loading the program file.");
        // 59 words and the closing zero fill one window; more: tst_cli uploadSeveral.
        row("upload, 236 bytes", upload, none, "a.vrk", program(236), uploaded,
            {{513, 1}, {515, 60}});
        row("upload, result 5", upload, {"--upload-result", "5"}, "a.vrk", program(7),
            "There was an error uploading the program.\nError code: 2", {{513, 1}, {515, 3}});
        row("upload, result 1", upload, {"--upload-result", "1"}, "a.vrk", program(4),
            "There was an unexpected problem uploading the program.\nResult code: 1",
            {{513, 1}, {515, 2}});
        row("restore, lost", restore, delay, "a.vrk", {}, lost);
        row("upload, lost", upload, delay, "a.vrk", QByteArray(100000, 'G'), lost);
    }
    void jobsEndInOneBox()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, options);
        QFETCH(QString, dialog);
        QFETCH(QByteArray, content);
        QFETCH(QString, box);
        QFETCH(Writes, writes);
        const QByteArray tag = QTest::currentDataTag();
        Station s;
        QVERIFY(s.start(options));
        QVERIFY(RunToEnd(s.connection.WriteInt(513, tag == "upload, busy")).isEmpty());
        QVERIFY(write(s.path("a.vrk"), content.isNull() ? json(full()) : content));
        QVERIFY(write(s.path("b.vrk"), json(full())));
        const bool lose = box == QStringLiteral("Communication Error");
        // Rows that act while the file dialog is open.
        const bool meanwhile = tag == "upload, busy once chosen" || tag == "restore, cut short";
        s.run(action, meanwhile ? QString() : dialog);
        if (meanwhile) {
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget(), LongMs);
            if (tag == "restore, cut short")
                s.window->findChild<BackupRestorer *>()->setSafetyCopyDirectory({});
            else
                QVERIFY(RunToEnd(s.connection.WriteInt(513, 2)).isEmpty());
            s.answer(dialog);
        }
        if (tag == "restore, other version, No")
            QVERIFY(s.ask("VRK-C1 (v. 7)", QMessageBox::No));
        if (lose) { // the station's connection is up: let the job's request start
            QTest::qWait(300);
            s.sim.stop();
        }
        const QString texts = s.lastBox();
        if (box.isEmpty())
            QCOMPARE(texts, QStringLiteral("(jobs: 0, boxes: 0)"));
        for (const QString &part : box.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(texts.contains(part) && !texts.startsWith(u'('), qPrintable(texts));
        if (lose)
            return;
        QCOMPARE(s.writes(), (Writes{{513, 1}} + writes)); // after the test's own
        // The simulator drops the zero bytes that fill the last word.
        if (!writes.isEmpty() && writes.last().first == 515) // an upload's last window
            QCOMPARE(read(s.path("programs/program-001.cnc")), content);
    }

    void safetyCopiesKeepTheNewestPerHost()
    {
        QTemporaryDir copies;
        const QDateTime start(QDate(2026, 1, 2), QTime(3, 4, 5));
        const QString host = QStringLiteral("[fe80::1]:1502");
        for (int n = 0; n < SafetyCopies::KeepPerHost + 2; ++n)
            QVERIFY(
                write(SafetyCopies::newFileName(copies.path(), host, start.addSecs(n / 2)), "{}"));
        const QString other = SafetyCopies::newFileName(copies.path(), "fe80::1", start);
        QVERIFY(write(other, "{}"));
        const QStringList before = SafetyCopies::list(copies.path(), host);
        QCOMPARE(before.size(), SafetyCopies::KeepPerHost + 2);
        QVERIFY(before.at(1).endsWith(QStringLiteral("_fe80__1__1502-20260102-030405-2.vrk")));
        SafetyCopies::prune(copies.path(), host);
        QCOMPARE(SafetyCopies::list(copies.path(), host), before.mid(2));
        QVERIFY(QFile::exists(other));
    }
};

QTEST_MAIN(TestMachineJobs)
#include "tst_machinejobs.moc"
