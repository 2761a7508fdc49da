// The parameters and teeth editors against the simulator, driven through their
// own actions and buttons. The simulator logs the writes it takes; a second,
// plain connection sets and reads back values.
#include "acpu/modbusconnection.h"
#include "app/mainwindow.h"
#include "backup/backupdata.h"
#include "backup/backupfile.h"
#include "common/connectto.h"
#include "common/simulateduser.h"
#include "editors/parameterseditor.h"
#include "editors/teetheditor.h"
#include "model/groupfactory.h"
#include "model/machine.h"
#include "model/teeth.h"
#include "requestresult.h"
#include "simprocess.h"
#include "widgetlookup.h"
#include "widgets/qtableviewclipboard.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The simulator, the editor's machine on it, and a plain second connection.
struct LiveMachine
{
    SimProcess sim;
    Acpu::ModbusConnection connection, plain;
    Machine machine{&connection};

    bool start(const QStringList &options = {})
    {
        return sim.start(options + QStringList{u"--log-writes"_s}) &&
               ConnectTo(connection, sim.host()) && ConnectTo(plain, sim.host()) &&
               RunToEnd(machine.requestIdentification()).isEmpty() &&
               machine.updateIdentification();
    }
    // "vrk6-sim: write FIRST COUNT", every write the simulator took, in order.
    QStringList writes() { return sim.log().split(u'\n').filter(u"vrk6-sim: write "_s); }
    float value(int v)
    {
        return RunToEnd(plain.Read({{v, 1}})).isEmpty() ? plain.ReadFloat(v) : float(qQNaN());
    }
    bool set(const QList<std::pair<int, float>> &values)
    {
        return RunToEnd(plain.WriteValues(values)).isEmpty();
    }
};

// The editor of a group tag (5: teeth), deleted with the test if still open.
struct Editor
{
    QPointer<LiveEditor> window;
    QAbstractItemModel *table = nullptr;

    Editor(LiveMachine &live, int tag)
        : window(tag == 5 ? static_cast<LiveEditor *>(new TeethEditor(&live.machine, new Teeth))
                          : new ParametersEditor(&live.machine, GroupFactory::create(tag)))
    {
        window->show();
        table = child<QTableViewClipboard>(window, "valueEditor")->model();
    }
    ~Editor() { delete window.data(); }
    void trigger(const char *action) { ::trigger(window, action); }
    bool checked(const char *action) const { return child(window, action)->isChecked(); }
    void click(QDialogButtonBox::StandardButton button)
    {
        // The file dialogs have button boxes of that name too.
        window->centralWidget()->findChild<QDialogButtonBox *>()->button(button)->click();
    }
    QString text(int r, int c = 0) const { return table->index(r, c).data().toString(); }
    bool edit(int r, int c, const QString &v) { return table->setData(table->index(r, c), v); }
    bool editable(int row) const { return table->flags(table->index(row, 0)) & Qt::ItemIsEditable; }
};

// Shape s, tooth t, parameter p (from 0) as a machine variable.
constexpr auto tooth = [](int s, int t, int p) { return 8192 + s * 640 + t * 64 + p; };
} // namespace

class TestLiveEditor : public QObject
{
    Q_OBJECT
    LiveMachine live;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        QVERIFY(live.start({u"--clamp"_s, u"1812:22:100"_s}));
    }

    // Read, edit, Apply (exactly the edits reach the machine), Reset, and OK
    // with nothing modified. Unwritten edits are not thrown away by switching
    // refresh on: the user is asked, No keeps them and refresh off, Yes reads.
    void readEditApply()
    {
        QVERIFY(live.set({{1027, 3.5f}, {1028, -2.25f}}));
        Editor editor(live, 1);
        QCOMPARE(editor.text(3), QString()); // not read yet: no number, never a 0
        SimulatedUser user;
        editor.trigger("actionRefreshOnce");
        QVERIFY(editor.edit(4, 0, u"1"_s)); // while the values are read
        QTRY_COMPARE_WITH_TIMEOUT(editor.text(3), u"3.500000"_s, 20000);
        QCOMPARE(editor.text(4), u"1.000000"_s);

        QVERIFY(editor.edit(3, 0, u"7.25"_s) && editor.edit(4, 0, u"1234.567891"_s));
        QVERIFY(editor.window->isWindowModified());
        // The table shows the edit through the style proxy, as marked.
        QVERIFY(editor.table->index(3, 0).data(Qt::FontRole).value<QFont>().italic());
        user.buttons = {QMessageBox::No};
        editor.trigger("actionRefresh1s");
        QCOMPARE(user.said.size(), 1);
        QVERIFY(user.said.first().startsWith("Values edited but not written to the machine: 2.\n"));
        QVERIFY(!editor.checked("actionRefresh1s"));
        QVERIFY(editor.editable(3));
        QTest::qWait(1200);
        QCOMPARE(editor.text(3), u"7.250000"_s);

        qsizetype before = live.writes().size();
        editor.click(QDialogButtonBox::Apply);
        QTRY_VERIFY(!editor.window->isWindowModified());
        QTRY_COMPARE(live.writes().mid(before), QStringList{u"vrk6-sim: write 1027 2"_s});
        QCOMPARE(live.value(1027), 7.25f);
        // What the machine's float holds, not the digits typed.
        QCOMPARE(editor.text(4), u"1234.567871"_s);

        QVERIFY(editor.edit(3, 0, u"-9"_s));
        editor.click(QDialogButtonBox::Reset);
        QCOMPARE(editor.text(3), u"7.250000"_s);
        QVERIFY(!editor.window->isWindowModified());
        QVERIFY(live.set({{1027, 2.5f}}));
        before = live.writes().size();
        QVERIFY(editor.edit(3, 0, u"-9"_s));
        user.buttons = {QMessageBox::Yes};
        editor.trigger("actionRefresh100ms");
        QTRY_COMPARE(editor.text(3), u"2.500000"_s);
        QVERIFY(!editor.window->isWindowModified());
        editor.click(QDialogButtonBox::Ok);
        QTRY_VERIFY(!editor.window);
        QTest::qWait(200); // a write would be logged by now
        QCOMPARE(live.writes().size(), before);
    }

    // A machine that limits a value silently: the write is read back, the
    // user is told, and the value stays an edit over what the machine holds;
    // OK keeps the window open; a close during the write neither asks nor
    // writes again: it waits for the write. A write still under way when the
    // window goes (the main window deletes its editors when it is destroyed)
    // must find nothing of it when it finishes; the sanitizer run (label
    // interop) sees a use after free.
    void clampedWrite()
    {
        Editor editor(live, 2);
        SimulatedUser user;
        for (int row = 20; row < 42; ++row)
            QVERIFY(editor.edit(row, 0, u"500"_s));
        QVERIFY(editor.edit(42, 0, u"5"_s));
        editor.click(QDialogButtonBox::Ok);
        QVERIFY(!editor.window->close());
        QTRY_COMPARE(user.said.size(), 1);
        // The box lists the first 20 and counts the rest.
        QVERIFY2(user.said.first().contains("\nR020: sent 500, read 100\n") &&
                     user.said.first().endsWith("\nR039: sent 500, read 100\nand 2 more"),
                 qPrintable(user.said[0]));
        QCOMPARE(live.value(1812), 100.0f);
        const ParameterGroup::VariableValues edits = editor.window->group()->modifiedValues();
        QCOMPARE(edits.size(), 22);
        QCOMPARE(edits.first(), std::pair(1812, 500.0f));
        QVERIFY(editor.window->isVisible());
        QVERIFY(editor.edit(7, 0, u"70.5"_s));
        editor.click(QDialogButtonBox::Apply);
        delete editor.window.data(); // before the reply can arrive
        QTRY_COMPARE(live.value(1799), 70.5f);
    }

    // Both periods exclude each other and lock the table; reads follow the
    // machine and never overlap, each starting a period after the last ended.
    // A machine that cannot be asked keeps the automatic refresh trying: it
    // resumes by itself once the machine is back. The close prompt: Cancel
    // keeps the edits (the place is saved anyway), Yes with the machine gone
    // keeps window and edits, No drops them.
    void automaticRefreshAndLostMachine()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(u"state.json"_s);
        // A read of the group's five chunks takes 5 x 30 ms.
        const QStringList options = {u"--state"_s, state, u"--delay"_s, u"30"_s};
        LiveMachine slow;
        QVERIFY(slow.start(options));
        slow.connection.StartPolling();
        Editor editor(slow, 1);
        SimulatedUser user;
        QElapsedTimer clock;
        clock.start();
        QList<qint64> reads; // when each ended
        QObject::connect(editor.window, &LiveEditor::periodicReadFinished,
                         [&] { reads.append(clock.elapsed()); });
        editor.trigger("actionRefresh100ms");
        QVERIFY(!editor.editable(0));
        QVERIFY(!child(editor.window, "actionOpen")->isEnabled());
        QVERIFY(slow.set({{1030, 42.0f}}));
        QTRY_COMPARE(editor.text(6), u"42.000000"_s);
        QTRY_VERIFY_WITH_TIMEOUT(reads.size() >= 5, 20000);
        editor.trigger("actionRefresh1s");
        QVERIFY(editor.checked("actionRefresh1s") && !editor.checked("actionRefresh100ms"));
        QVERIFY(!editor.editable(0));
        editor.trigger("actionRefresh1s");
        QVERIFY(editor.editable(0));
        // Timers may fire a few per cent early.
        for (qsizetype i = 1; i < reads.size(); ++i)
            QCOMPARE_GE(reads[i] - reads[i - 1], 95 + 5 * 28);

        editor.trigger("actionRefresh100ms");
        const quint16 port = slow.sim.port();
        slow.sim.stop();
        QTRY_COMPARE(editor.window->statusBar()->currentMessage(), u"Communication error"_s);
        QVERIFY(BackupData::write(state, R"({"variables": {"1025": 1088421888}})")); // 7.0f
        QTest::qWait(500);
        QVERIFY(slow.sim.start(options, port));
        QTRY_COMPARE_WITH_TIMEOUT(editor.text(1), u"7.000000"_s, 20000);
        editor.trigger("actionRefresh100ms");

        QVERIFY(editor.edit(5, 0, u"12.5"_s));
        user.buttons = {QMessageBox::Cancel, QMessageBox::Yes};
        QVERIFY(!editor.window->close());
        QVERIFY(QSettings().contains(u"Parameters/techparams/geometry"_s));
        slow.sim.stop();
        QTRY_VERIFY(slow.connection.State() != Acpu::Connection::Connected);
        QVERIFY(!editor.window->close());
        QTRY_COMPARE(user.said.size(), 3);
        QVERIFY(user.said.last().startsWith("Connection with the machine is broken.\n"));
        QVERIFY(editor.window->isVisible());
        QCOMPARE(editor.text(5), u"12.500000"_s);
        user.buttons = {QMessageBox::No};
        QVERIFY(editor.window->close());
        QTRY_VERIFY(!editor.window);
    }

    // Teeth: the filter action thins the shape selector, which picks the shape
    // shown; a value that is no number shows empty and is never written back
    // unless a number is typed there; a selector entry without a shape number
    // changes nothing.
    void teethShapesAndValuesThatAreNoNumber()
    {
        constexpr quint32 NanPattern = 0x7FC01234;
        QVERIFY(RunToEnd(live.plain.WriteInt(tooth(0, 0, 1), NanPattern)).isEmpty());
        QVERIFY(live.set({{tooth(0, 0, 2), 1.5f}, {tooth(2, 3, 4), 8.5f}}));
        QStandardItemModel foreign;
        foreign.appendRow(new QStandardItem(u"L3"_s));
        Editor editor(live, 5);
        auto *shapes = child<QComboBox>(editor.window, "group");
        editor.trigger("actionRefreshOnce");
        QTRY_COMPARE_WITH_TIMEOUT(editor.text(2), u"1.500000"_s, 20000);
        QCOMPARE(editor.text(1), QString());
        editor.trigger("actionFilterItems");
        QCOMPARE(shapes->count(), 8); // VRK-C1: no L9
        editor.trigger("actionFilterItems");

        QVERIFY(editor.edit(2, 0, u"4"_s));
        const qsizetype before = live.writes().size();
        editor.click(QDialogButtonBox::Apply);
        QTRY_VERIFY(!editor.window->isWindowModified());
        QTRY_COMPARE(live.writes().mid(before),
                     QStringList{u"vrk6-sim: write %1 1"_s.arg(tooth(0, 0, 2))});

        QVERIFY(editor.edit(1, 0, u"5"_s));
        shapes->setCurrentIndex(2);
        QCOMPARE(editor.text(4, 3), u"8.500000"_s);
        shapes->setModel(&foreign);
        QCOMPARE(editor.text(4, 3), u"8.500000"_s);
        editor.click(QDialogButtonBox::Ok);
        QTRY_VERIFY(!editor.window);
        QCOMPARE(live.value(tooth(0, 0, 1)), 5.0f);
    }

    // Choosing an editor twice opens one; after it closed, a new one reads
    // again. Another machine answering at the address after a reconnect (a
    // control unit swapped or updated) is identified again: a backup must not
    // carry the former one's stamp. One box says so, and that the editor still
    // open shows the former one's values.
    void mainWindow()
    {
        LiveMachine swapped;
        QVERIFY(swapped.start());
        MainWindow main(&swapped.machine);
        main.show();
        SimulatedUser user;
        for (const float value : {21.5f, 22.5f}) {
            QVERIFY(swapped.set({{1024, value}}));
            trigger(&main, "actionTechParameters");
            trigger(&main, "actionTechParameters");
            const QList<ParametersEditor *> editors = shownWindows<ParametersEditor>();
            QCOMPARE(editors.size(), 1);
            QAbstractItemModel *table = editors.first()->findChild<QTableView *>()->model();
            QTRY_COMPARE_WITH_TIMEOUT(table->index(0, 0).data().toString(),
                                      QString::number(value, 'f', 6), 20000);
            if (QPointer<ParametersEditor> shown = editors.first(); value == 21.5f) {
                shown->close();
                QTRY_VERIFY(!shown);
            }
        }

        const quint16 port = swapped.sim.port();
        swapped.sim.stop();
        QVERIFY(
            swapped.sim.start({"--type", "ZumB1", "--model-version", "7", "--serial", "5"}, port));
        QTRY_COMPARE_WITH_TIMEOUT(user.said.size(), 1, 10000);
        QVERIFY2(user.said.first().contains("ZUM-B1 (v. 7)") &&
                     user.said.first().contains("\nParameter editors opened before"),
                 qPrintable(user.said[0]));
        QCOMPARE(swapped.machine.modelVersion(), ModelVersion(MachineType::ZumB1, 7));
        QVERIFY2(main.windowTitle().startsWith("ZUM-B1 (v. 7) Remote Display :: S/N: 5 ("),
                 qPrintable(main.windowTitle()));
        QVERIFY(main.close());
        QTRY_VERIFY(shownWindows<ParametersEditor>().isEmpty());
    }

    // Save writes only the group and the machine's data model; a loaded
    // backup comes in as edits where it differs, after a question when it is
    // of another data model, and a backup without the group is refused.
    void backups()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath(u"tools.vrk"_s);
        QVERIFY(live.set({{1288, 1.5f}, {1289, 2.5f}}));
        Editor editor(live, 4);
        SimulatedUser user;
        editor.trigger("actionRefreshOnce");
        QTRY_COMPARE(editor.text(1, 0), u"1.500000"_s);
        QVERIFY(editor.edit(1, 1, u"6"_s));
        user.files = {{dir.filePath(u"tools"_s)}}; // typed without the extension
        editor.trigger("actionSave");
        QTRY_VERIFY(QFile::exists(saved));
        BackupFile file(saved);
        QVERIFY(file.load());
        QCOMPARE(file.machine(), live.machine.modelVersion());
        for (int tag = 1; tag <= 5; ++tag)
            QCOMPARE(file.hasSection(tag), tag == 4);
        QJsonObject tools = file.section(4);
        QCOMPARE(tools["T1"].toArray().at(1).toDouble(), 6.0);

        editor.click(QDialogButtonBox::Reset);
        QJsonArray t3 = tools["T3"].toArray();
        t3[7] = 11.0;
        tools["T3"] = t3;
        // The simulator is a VRK-C1 of data model 8.
        const auto load = [&](const char *machine, const char *key, const QJsonObject &section) {
            const QString in = dir.filePath(u"in.vrk"_s);
            QVERIFY(BackupData::write(
                in, BackupData::json({{"_machine", machine}, {"_version", 8}, {key, section}})));
            user.files = {{in}};
            editor.trigger("actionOpen");
        };
        load("VrkC1", "tools", tools);
        QTRY_COMPARE(editor.window->group()->modifiedValues(),
                     (ParameterGroup::VariableValues{{1289, 6.0f}, {1311, 11.0f}}));

        editor.click(QDialogButtonBox::Reset);
        load("VrkC1", "coordsys", BackupData::rows("G", 54, 59, 8, 0.0));
        QTRY_COMPARE(user.said.size(), 1);
        QVERIFY(user.said.first().startsWith("Backup does not contain Tools Parameters.\n"));
        user.buttons = {QMessageBox::No};
        load("ZumB1", "tools", tools);
        QTRY_COMPARE(user.said.size(), 2);
        QVERIFY(user.said.last().startsWith("Backup is for different"));
        QVERIFY(!editor.window->group()->isModified());
        user.buttons = {QMessageBox::Yes};
        load("ZumB1", "tools", tools);
        QTRY_COMPARE(editor.window->group()->modifiedValues().size(), 2);
    }
};

QTEST_MAIN(TestLiveEditor)
#include "tst_liveeditor.moc"
