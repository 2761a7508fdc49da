// The remote display main window on real connections: the offline one for
// the key codes, the simulator for the live panel and connection losses.
#include "acpu/display.h"
#include "acpu/modbusconnection.h"
#include "acpu/offlineconnection.h"
#include "app/mainwindow.h"
#include "model/machine.h"
#include "privatenetwork.h"
#include "simprocess.h"
#include "widgets/qwaitingspinner.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

#include <memory>

namespace {

// The panel of an offline connection shows the last key it was sent.
int LastSentKey(Acpu::Connection &connection)
{
    Acpu::Display display;
    connection.GetDisplay(display);
    static const QRegularExpression pattern(QStringLiteral("Last sent key = ([0-9a-f]+)"));
    const QRegularExpressionMatch match = pattern.match(display.line3());
    return match.hasMatch() ? match.captured(1).toInt(nullptr, 16) : -1;
}

struct OfflinePanel
{
    Acpu::OfflineConnection connection;
    Machine machine{&connection};
    std::unique_ptr<MainWindow> window;

    OfflinePanel()
    {
        connection.SetHost(QStringLiteral("offline"));
        window = std::make_unique<MainWindow>(&machine);
        window->show();
    }
    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void trigger(const char *action) { child<QAction>(action)->trigger(); }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void shiftLatchAppliesToOneKey();
    void keyboardShiftMustBeExact();
    void keyMapRowsReachTheConnection_data();
    void keyMapRowsReachTheConnection();
    void keypadButtonsSendTheirKeys();
    void spinnerFollowsTheConnection();
    void errorShowsInStatusBar();
    void zoomInAndOut();
    void closeStoresGeometryOnlyWhenNotZoomed();
    void resetAndClearRemoveTheirSettings();
    void formIconsLoad();
    void livePanelOfTheSimulator();
    void simulatorLostAndBack();
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("vrk6-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_mainwindow"));
}

void TestMainWindow::init()
{
    QSettings().clear();
}

void TestMainWindow::shiftLatchAppliesToOneKey()
{
    OfflinePanel panel;
    auto *led = panel.child<QRadioButton>("shiftLed");
    panel.click("shiftBtn");
    QVERIFY(led->isChecked());
    panel.click("key4btn");
    QCOMPARE(LastSentKey(panel.connection), 0x41);
    QVERIFY(!led->isChecked());
    panel.click("key4btn");
    QCOMPARE(LastSentKey(panel.connection), 0x34);

    // Pressing Shift twice on screen takes the latch back.
    panel.click("shiftBtn");
    panel.click("shiftBtn");
    panel.click("key5btn");
    QCOMPARE(LastSentKey(panel.connection), 0x35);

    // The lamp itself sets the latch too.
    QTest::mouseClick(led, Qt::LeftButton, {}, QPoint(5, led->height() / 2));
    QVERIFY(led->isChecked());
    panel.click("upBtn");
    QCOMPARE(LastSentKey(panel.connection), 0x12);
}

void TestMainWindow::keyboardShiftMustBeExact()
{
    OfflinePanel panel;
    QWidget *w = panel.window.get();
    QTest::keyClick(w, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(LastSentKey(panel.connection), 0x12);
    QTest::keyClick(w, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(LastSentKey(panel.connection), 0x05);
    QTest::keyClick(w, 'a');
    QCOMPARE(LastSentKey(panel.connection), 0x61);
    QTest::keyClick(w, Qt::Key_A, Qt::ShiftModifier);
    QCOMPARE(LastSentKey(panel.connection), 0x41);
    // The PC's period key has no panel code: nothing is sent.
    QTest::keyClick(w, Qt::Key_Period);
    QCOMPARE(LastSentKey(panel.connection), 0x41);
    // Keys reach the machine through any child of the panel as well.
    QTest::keyClick(panel.child<QLabel>("display2"), Qt::Key_7);
    QCOMPARE(LastSentKey(panel.connection), 0x37);
}

void TestMainWindow::keyMapRowsReachTheConnection_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shifted");
    const struct
    {
        const char *name;
        int key, code, shifted;
    } rows[] = {
        {"Up", Qt::Key_Up, 0x05, 0x12},         {"Down", Qt::Key_Down, 0x18, 0x03},
        {"Left", Qt::Key_Left, 0x13, 0x01},     {"Right", Qt::Key_Right, 0x04, 0x06},
        {"F1", Qt::Key_F1, 0x81, 0x86},         {"F2", Qt::Key_F2, 0x82, 0x87},
        {"F3", Qt::Key_F3, 0x83, 0x88},         {"F4", Qt::Key_F4, 0x84, 0x89},
        {"F5", Qt::Key_F5, 0x85, 0x8A},         {"Escape", Qt::Key_Escape, 0x1B, 0x1A},
        {"Insert", Qt::Key_Insert, 0x16, 0x17}, {"Delete", Qt::Key_Delete, 0x7F, 0x08},
        {"+", Qt::Key_Plus, 0x2B, 0x2A},        {"-", Qt::Key_Minus, 0x2D, 0x2F},
        {":", Qt::Key_Colon, 0x2E, 0x28},       {"Enter", Qt::Key_Enter, 0x0D, 0x0A},
        {"Return", Qt::Key_Return, 0x0D, 0x0A}, {"0", Qt::Key_0, 0x30, 0x29},
        {"1", Qt::Key_1, 0x31, 0x26},           {"2", Qt::Key_2, 0x32, 0x23},
        {"3", Qt::Key_3, 0x33, 0x24},           {"4", Qt::Key_4, 0x34, 0x41},
        {"5", Qt::Key_5, 0x35, 0x42},           {"6", Qt::Key_6, 0x36, 0x43},
        {"7", Qt::Key_7, 0x37, 0x44},           {"8", Qt::Key_8, 0x38, 0x45},
        {"9", Qt::Key_9, 0x39, 0x46},           {"A", Qt::Key_A, 0x61, 0x41},
        {"B", Qt::Key_B, 0x62, 0x42},           {"C", Qt::Key_C, 0x63, 0x43},
        {"D", Qt::Key_D, 0x64, 0x44},           {"E", Qt::Key_E, 0x65, 0x45},
        {"F", Qt::Key_F, 0x66, 0x46},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.key << row.code << row.shifted;
    QCOMPARE(MainWindow::KeyMap().size(), qsizetype(std::size(rows)));
}

void TestMainWindow::keyMapRowsReachTheConnection()
{
    QFETCH(int, key);
    QFETCH(int, code);
    QFETCH(int, shifted);
    OfflinePanel panel;
    QTest::keyClick(panel.window.get(), Qt::Key(key));
    QCOMPARE(LastSentKey(panel.connection), code);
    QTest::keyClick(panel.window.get(), Qt::Key(key), Qt::ShiftModifier);
    QCOMPARE(LastSentKey(panel.connection), shifted);
}

void TestMainWindow::keypadButtonsSendTheirKeys()
{
    OfflinePanel panel;
    const struct
    {
        const char *button;
        int code;
    } buttons[] = {
        {"upBtn", 0x05},   {"downBtn", 0x18},  {"leftBtn", 0x13}, {"rightBtn", 0x04},
        {"f1btn", 0x81},   {"f2btn", 0x82},    {"f3btn", 0x83},   {"f4btn", 0x84},
        {"f5btn", 0x85},   {"escBtn", 0x1B},   {"insBtn", 0x16},  {"delBtn", 0x7F},
        {"plusBtn", 0x2B}, {"minusBtn", 0x2D}, {"dotBtn", 0x2E},  {"key0btn", 0x30},
        {"key1btn", 0x31}, {"key2btn", 0x32},  {"key3btn", 0x33}, {"key4btn", 0x34},
        {"key5btn", 0x35}, {"key6btn", 0x36},  {"key7btn", 0x37}, {"key8btn", 0x38},
        {"key9btn", 0x39}, {"enterBtn", 0x0D},
    };
    for (const auto &b : buttons) {
        panel.click(b.button);
        QVERIFY2(LastSentKey(panel.connection) == b.code, b.button);
    }
}

void TestMainWindow::spinnerFollowsTheConnection()
{
    OfflinePanel panel;
    QWaitingSpinner *spinner = panel.window->spinner();
    auto *frame = panel.child<QWidget>("displayFrame");
    QVERIFY(!spinner->isSpinning());
    QVERIFY(frame->isEnabled());

    // Losing the connection spins at once; polling reconnects and stops it.
    panel.connection.Close();
    QVERIFY(spinner->isSpinning());
    QVERIFY(!frame->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!spinner->isSpinning(), 2000);
    QVERIFY(frame->isEnabled());

    // A stall spins until the next completed poll.
    emit panel.connection.pollingStalled();
    QVERIFY(spinner->isSpinning());
    QTRY_VERIFY_WITH_TIMEOUT(!spinner->isSpinning(), 2000);
}

void TestMainWindow::errorShowsInStatusBar()
{
    OfflinePanel panel;
    emit panel.connection.errorOccurred(5, QStringLiteral("Connection refused %1"));
    QCOMPARE(panel.window->statusBar()->currentMessage(),
             QStringLiteral("Communication error: 5 - Connection refused %1"));
    // It stays until the next connection is made.
    QTest::qWait(400);
    QVERIFY(!panel.window->statusBar()->currentMessage().isEmpty());
    panel.connection.Close();
    QTRY_VERIFY_WITH_TIMEOUT(panel.window->statusBar()->currentMessage().isEmpty(), 2000);
}

void TestMainWindow::zoomInAndOut()
{
    OfflinePanel panel;
    MainWindow *w = panel.window.get();
    const QSize before = w->size();
    auto *label = panel.child<QLabel>("display3");
    auto *key = panel.child<QPushButton>("key8btn");
    auto *lamp = panel.child<QLabel>("runLedLabel");
    const qreal labelPoints = label->font().pointSizeF();
    const qreal keyPoints = key->font().pointSizeF();
    const qreal lampPoints = lamp->font().pointSizeF();

    panel.trigger("actionZoomWindow");
    QVERIFY(w->isZoomed());
    QVERIFY(panel.child<QAction>("actionZoomWindow")->isChecked());
    QCOMPARE(w->size(), QSize(621, 720));
    QCOMPARE(label->font().pointSizeF(), 29.0);
    QCOMPARE(key->font().pointSizeF(), 20.0);
    QCOMPARE(lamp->font().pointSizeF(), 14.0);
    QCOMPARE(panel.child<QPushButton>("enterBtn")->font().pointSizeF(), 20.0);

    panel.trigger("actionZoomWindow");
    QVERIFY(!w->isZoomed());
    QVERIFY(!panel.child<QAction>("actionZoomWindow")->isChecked());
    QCOMPARE(label->font().pointSizeF(), labelPoints);
    QCOMPARE(key->font().pointSizeF(), keyPoints);
    QCOMPARE(lamp->font().pointSizeF(), lampPoints);
    QTest::qWait(200);
    QCOMPARE(w->size(), before);
}

void TestMainWindow::closeStoresGeometryOnlyWhenNotZoomed()
{
    const QString geometryKey = QStringLiteral("MainWindow/geometry");
    {
        OfflinePanel panel;
        panel.trigger("actionZoomWindow");
        panel.window->close();
        QVERIFY(!QSettings().contains(geometryKey));
    }
    {
        OfflinePanel panel;
        panel.window->close();
        QVERIFY(QSettings().contains(geometryKey));
        QVERIFY(QSettings().contains(QStringLiteral("MainWindow/state")));
    }
    // The next window comes back with the stored geometry.
    {
        OfflinePanel panel;
        panel.window->resize(500, 640);
        panel.window->close();
    }
    OfflinePanel panel;
    QCOMPARE(panel.window->size(), QSize(500, 640));
}

void TestMainWindow::resetAndClearRemoveTheirSettings()
{
    OfflinePanel panel;
    const QSize initial = panel.window->size();
    panel.window->resize(initial + QSize(40, 30));
    {
        QSettings settings;
        settings.setValue(QStringLiteral("MainWindow/geometry"), QByteArray("x"));
        settings.setValue(QStringLiteral("FileViewer/state"), QByteArray("x"));
        settings.setValue(QStringLiteral("Parameters/techparams/geometry"), QByteArray("x"));
        settings.setValue(QStringLiteral("Parameters/teeth/state"), QByteArray("x"));
        settings.setValue(QStringLiteral("hostnames"), QStringList{QStringLiteral("m1")});
        settings.setValue(QStringLiteral("mdiMode"), 1);
    }
    panel.trigger("actionResetWindowsSettings");
    QCOMPARE(panel.window->size(), initial);
    {
        QSettings settings;
        QCOMPARE(settings.allKeys(),
                 (QStringList{QStringLiteral("hostnames"), QStringLiteral("mdiMode")}));
    }
    panel.trigger("actionClearHostHistory");
    QCOMPARE(QSettings().allKeys(), QStringList{QStringLiteral("mdiMode")});
}

void TestMainWindow::formIconsLoad()
{
    OfflinePanel panel;
    QVERIFY(!panel.window->windowIcon().pixmap(32).isNull());
    for (const char *name :
         {"actionExit", "actionLoadProgram", "actionCreateBackup", "actionRestoreBackup",
          "actionHelpAbout", "actionHelpAboutQt", "actionCheckUpdates"})
        QVERIFY2(!panel.child<QAction>(name)->icon().pixmap(16).isNull(), name);
    for (const char *name : {"f1btn", "f2btn", "f3btn", "f4btn", "f5btn", "escBtn"})
        QVERIFY2(!panel.child<QPushButton>(name)->icon().pixmap(16).isNull(), name);
}

void TestMainWindow::livePanelOfTheSimulator()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--type"), QStringLiteral("VrkA1")}));
    Acpu::ModbusConnection connection;
    Machine machine(&connection);
    QVERIFY(connection.SetHost(sim.host()));
    QTRY_COMPARE_WITH_TIMEOUT(connection.State(), Acpu::Connection::Connected, 5000);
    MainWindow window(&machine);
    window.show();
    QVERIFY(window.windowTitle().endsWith(QStringLiteral("(%1)").arg(sim.host())));

    auto *line2 = window.findChild<QLabel *>(QStringLiteral("display2"));
    QTRY_VERIFY_WITH_TIMEOUT(line2->text().startsWith(QLatin1Char('>')), 3000);
    QTest::keyClick(&window, Qt::Key_4, Qt::ShiftModifier); // 0x41, 'A'
    QTest::keyClick(&window, Qt::Key_B);                    // 0x62, 'b'
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("key7btn")), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(sim.keyCount(), 3, 3000);
    const QString log = sim.log();
    QVERIFY(log.contains(QStringLiteral("key 0x41")));
    QVERIFY(log.contains(QStringLiteral("key 0x62")));
    QVERIFY(log.contains(QStringLiteral("key 0x37")));
    // The simulator echoes the keys on its second line; the window shows it
    // within a poll or two.
    QTRY_COMPARE_WITH_TIMEOUT(line2->text().trimmed(), QStringLiteral(">Ab7"), 1000);

    // F1 toggles the run lamp on the simulated panel.
    auto *runLed = window.findChild<QRadioButton *>(QStringLiteral("runLed"));
    const bool running = runLed->isChecked();
    QTest::keyClick(&window, Qt::Key_F1);
    QTRY_COMPARE_WITH_TIMEOUT(runLed->isChecked(), !running, 1000);
}

void TestMainWindow::simulatorLostAndBack()
{
    auto sim = std::make_unique<SimProcess>();
    QVERIFY(sim->start());
    const quint16 port = sim->port();
    Acpu::ModbusConnection connection;
    Machine machine(&connection);
    QVERIFY(connection.SetHost(sim->host()));
    QTRY_COMPARE_WITH_TIMEOUT(connection.State(), Acpu::Connection::Connected, 5000);
    MainWindow window(&machine);
    window.show();
    QWaitingSpinner *spinner = window.spinner();
    auto *line1 = window.findChild<QLabel *>(QStringLiteral("display1"));
    QTRY_VERIFY_WITH_TIMEOUT(!line1->text().startsWith(QStringLiteral("ABCDEF")), 3000);
    QVERIFY(!spinner->isSpinning());

    sim.reset();
    QTRY_VERIFY_WITH_TIMEOUT(spinner->isSpinning(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(
        window.statusBar()->currentMessage().startsWith(QStringLiteral("Communication error: ")),
        3000);

    // Back on the same port: the panel returns without any action.
    sim = std::make_unique<SimProcess>();
    QVERIFY(sim->start({QStringLiteral("--serial"), QStringLiteral("77")}, port));
    QTRY_VERIFY_WITH_TIMEOUT(!spinner->isSpinning(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(window.statusBar()->currentMessage().isEmpty(), 2000);
    QTest::keyClick(&window, Qt::Key_9);
    QTRY_COMPARE_WITH_TIMEOUT(sim->keyCount(), 1, 3000);
}

VRK6_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
