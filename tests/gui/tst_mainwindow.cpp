// The main window on the offline connection: keys, lamps, failures, zoom and
// settings; the feedback pieces (progress and error boxes) on real requests;
// and the translations compiled into the resources, with Qt's own.
#include "acpu/display.h"
#include "acpu/offlineconnection.h"
#include "acpu/request.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "backup/messagebox.h"
#include "model/machine.h"
#include "model/parametertable.h"
#include "privatenetwork.h"
#include "widgetlookup.h"
#include "widgets/qwaitingspinner.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>

#include <memory>

namespace {
// The main window on an offline connection of its own.
struct Panel
{
    Acpu::OfflineConnection connection;
    Machine machine{&connection};
    bool hostSet = connection.SetHost(QStringLiteral("offline"));
    MainWindow window{&machine};

    Panel() { window.show(); }
    template <typename T> T *child(const char *name) const { return ::child<T>(&window, name); }
    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(&window, Qt::Key(key), modifiers);
    }
    // The offline connection's panel shows the last key it was sent.
    int lastSentKey()
    {
        Acpu::Display display;
        connection.GetDisplay(display);
        static const QRegularExpression pattern(QStringLiteral("Last sent key = ([0-9a-f]+)"));
        const QRegularExpressionMatch match = pattern.match(display.line3());
        return match.hasMatch() ? match.captured(1).toInt(nullptr, 16) : -1;
    }
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }

    // Every on-screen key sends its key's code, shifted after the shift key
    // (which then lets go); Shift alone on the keyboard shifts too, and keys
    // typed on any child reach the machine.
    void panelKeys()
    {
        Panel panel;
        QList<std::pair<QString, int>> buttons{
            {"upBtn", Qt::Key_Up},       {"downBtn", Qt::Key_Down},  {"leftBtn", Qt::Key_Left},
            {"rightBtn", Qt::Key_Right}, {"escBtn", Qt::Key_Escape}, {"insBtn", Qt::Key_Insert},
            {"delBtn", Qt::Key_Delete},  {"plusBtn", Qt::Key_Plus},  {"minusBtn", Qt::Key_Minus},
            {"dotBtn", Qt::Key_Colon},   {"enterBtn", Qt::Key_Enter}};
        for (int i = 0; i < 10; ++i)
            buttons.append({QStringLiteral("key%1btn").arg(i), Qt::Key_0 + i});
        for (int i = 0; i < 5; ++i)
            buttons.append({QStringLiteral("f%1btn").arg(i + 1), Qt::Key_F1 + i});
        auto *led = panel.child<QRadioButton>("shiftLed");
        for (const auto &[button, key] : buttons) {
            panel.click("shiftBtn");
            QVERIFY(led->isChecked());
            panel.click(qPrintable(button));
            QVERIFY2(panel.lastSentKey() == MainWindow::KeyMap().value(key).second,
                     qPrintable(button));
            QVERIFY(!led->isChecked());
            panel.click(qPrintable(button));
            QVERIFY2(panel.lastSentKey() == MainWindow::KeyMap().value(key).first,
                     qPrintable(button));
        }
        for (auto it = MainWindow::KeyMap().cbegin(); it != MainWindow::KeyMap().cend(); ++it) {
            panel.key(it.key(), Qt::ShiftModifier);
            QVERIFY2(panel.lastSentKey() == it->second,
                     qPrintable(QKeySequence(it.key()).toString()));
        }
        panel.key(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(panel.lastSentKey(), MainWindow::KeyMap().value(Qt::Key_Up).first);
        QTest::keyClick(&panel.window, 'a');
        QCOMPARE(panel.lastSentKey(), 0x61);
        panel.key(Qt::Key_Period); // no panel code: nothing is sent
        QCOMPARE(panel.lastSentKey(), 0x61);
        QTest::keyClick(panel.child<QLabel>("display2"), Qt::Key_7);
        QCOMPARE(panel.lastSentKey(), 0x37);
    }

    // The keyboard belongs to the machine whatever the user did with the
    // menus before; menus open by mouse, and by mnemonic only with Alt held.
    void keysReachTheMachineAfterMenus_data()
    {
        QTest::addColumn<QString>("before");
        for (const char *row : {"Alt tapped", "menu closed by Esc", "menu closed by click"})
            QTest::newRow(row) << QString::fromLatin1(row);
    }

    void keysReachTheMachineAfterMenus()
    {
        QFETCH(QString, before);
        Panel panel;
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        QMenuBar *bar = panel.window.menuBar();
        const QPoint fileMenu = bar->actionGeometry(bar->actions().first()).center();
        QWidget *const focus = nullptr; // keys go where the application sends them
        for (auto it = MainWindow::KeyMap().cbegin(); it != MainWindow::KeyMap().cend(); ++it) {
            if (before == QLatin1String("Alt tapped")) {
                QTest::keyClick(focus, Qt::Key_Alt);
            } else {
                QTest::mouseClick(bar, Qt::LeftButton, {}, fileMenu);
                QTRY_VERIFY(QApplication::activePopupWidget());
                if (before == QLatin1String("menu closed by Esc"))
                    QTest::keyClick(focus, Qt::Key_Escape);
                else
                    QTest::mouseClick(bar, Qt::LeftButton, {}, fileMenu);
                QTRY_VERIFY(!QApplication::activePopupWidget());
            }
            // As the window system does once a popup has gone.
            panel.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&panel.window));
            panel.connection.SendKey(0);
            QTest::keyClick(focus, Qt::Key(it.key()));
            QVERIFY2(panel.lastSentKey() == it->first,
                     qPrintable(QKeySequence(it.key()).toString()));
        }
        QVERIFY(!QApplication::activePopupWidget());
        QTest::keyClick(focus, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QApplication::activePopupWidget()->close();
    }

    // Whichever way the connection reports trouble, the spinner covers the
    // display, its text dims and an error stays in the status bar until a
    // refresh succeeds again.
    void failureShowsUntilTheNextRefresh_data()
    {
        QTest::addColumn<QString>("failure");
        for (const char *row : {"error", "stall", "lost"})
            QTest::newRow(row) << QString::fromLatin1(row);
    }

    void failureShowsUntilTheNextRefresh()
    {
        QFETCH(QString, failure);
        Panel panel;
        QWaitingSpinner *spinner = panel.window.spinner();
        auto *line = panel.child<QLabel>("display1");
        QStatusBar *status = panel.window.statusBar();
        QVERIFY(line->text().isEmpty()); // never the form's placeholder
        QTRY_VERIFY(!line->text().isEmpty());
        QVERIFY(!spinner->isSpinning());
        QString lamps; // the offline machine lights run and mode 1
        for (const char *name : {"runLed", "errorLed", "mode1Led", "mode2Led"})
            lamps += panel.child<QRadioButton>(name)->isChecked() ? '1' : '0';
        QCOMPARE(lamps, QStringLiteral("1010"));
        const QImage live = line->grab().toImage();

        if (failure == QLatin1String("error"))
            emit panel.connection.errorOccurred(5, QStringLiteral("Connection refused %1"));
        else if (failure == QLatin1String("stall"))
            emit panel.connection.pollingStalled();
        else
            panel.connection.Close();
        QVERIFY(spinner->isVisible() && spinner->isSpinning());
        QVERIFY2(line->grab().toImage() != live, "the stale text is dimmed");
        QCOMPARE(status->currentMessage() ==
                     QStringLiteral("Communication error: 5 - Connection refused %1"),
                 failure == QLatin1String("error"));
        QCOMPARE(status->toolTip(), status->currentMessage()); // the panel may cut it short

        // The connection polls on: the next refresh brings the panel back.
        QTRY_VERIFY_WITH_TIMEOUT(!spinner->isSpinning(), 2000);
        QCOMPARE(line->grab().toImage(), live);
        QTRY_VERIFY_WITH_TIMEOUT(status->currentMessage().isEmpty(), 5000);
    }

    void zoomAndStoredGeometry()
    {
        const QString geometryKey = QStringLiteral("MainWindow/geometry");
        {
            Panel panel;
            MainWindow &w = panel.window;
            const QSize before = w.size();
            auto *label = panel.child<QLabel>("display3");
            auto *lamp = panel.child<QLabel>("runLedLabel");
            const qreal points[] = {label->font().pointSizeF(), lamp->font().pointSizeF()};
            auto *zoom = panel.child<QAction>("actionZoomWindow");
            zoom->trigger();
            QVERIFY(w.isZoomed() && zoom->isChecked());
            QVERIFY(w.size() != before && label->font().pointSizeF() > points[0] &&
                    lamp->font().pointSizeF() > points[1]);
            w.close(); // while zoomed: no geometry stored
            QVERIFY(!QSettings().contains(geometryKey));

            w.show();
            zoom->trigger();
            QVERIFY(!w.isZoomed() && !zoom->isChecked());
            QCOMPARE(label->font().pointSizeF(), points[0]);
            QCOMPARE(lamp->font().pointSizeF(), points[1]);
            QTRY_COMPARE(w.size(), before);
            w.resize(500, 640);
            w.close();
            QVERIFY(QSettings().contains(geometryKey));
        }
        Panel panel; // comes back as it was closed
        QCOMPARE(panel.window.size(), QSize(500, 640));
    }

    void resetWindowsSettings()
    {
        Panel panel;
        const QSize initial = panel.window.size();
        panel.window.resize(initial + QSize(40, 30));
        QSettings settings;
        for (const char *key : {"MainWindow/geometry", "FileViewer/state", "Parameters/teeth/state",
                                "HostnameDialog/geometry", "hostnames", "mdiMode"})
            settings.setValue(QString::fromLatin1(key), QStringLiteral("x"));
        panel.child<QAction>("actionResetWindowsSettings")->trigger();
        QCOMPARE(panel.window.size(), initial);
        QCOMPARE(settings.allKeys(), QStringLiteral("hostnames mdiMode").split(QLatin1Char(' ')));
        panel.child<QAction>("actionClearHostHistory")->trigger();
        QCOMPARE(settings.allKeys(), QStringList{QStringLiteral("mdiMode")});
    }

    void progressAndErrorBoxes()
    {
        QWidget parent;
        parent.show();
        auto *request = new Acpu::Request({Acpu::VarRange{1024, 100}}, 60,
                                          QList<Acpu::Value>(100, Acpu::Value{1.5f}));
        QPointer<QProgressDialog> progress = ShowProgress(request, &parent);
        QCOMPARE(progress->labelText(), QStringLiteral("Writing data..."));
        QVERIFY(!progress->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(progress->isVisible(), 1000); // after a short while
        request->AddProgress(60);
        QCOMPARE(progress->value(), 60);
        request->SetFinished(true);
        QTRY_VERIFY(progress.isNull());
        // A request done at once never shows its box.
        Acpu::OfflineConnection connection;
        connection.SetHost(QStringLiteral("offline"));
        progress = ShowProgress(connection.Read({Acpu::VarRange{256, 14}}).value(), &parent);
        QCOMPARE(progress->labelText(), QStringLiteral("Reading data..."));
        for (; progress; QTest::qWait(10))
            QVERIFY(!progress->isVisible());

        // The read and broken-connection texts: tst_machinejobs, tst_liveeditor.
        Acpu::Request write({Acpu::VarRange{1024, 1}}, 60, {Acpu::Value{1}});
        write.SetErrorString(QStringLiteral("Response timeout."));
        ShowRequestError(&write, &parent);
        QPointer<QMessageBox> box = parent.findChild<QMessageBox *>();
        QVERIFY(box->isVisible());
        QCOMPARE(
            box->text() + '\n' + box->informativeText(),
            QStringLiteral("There was an error writing data to the machine.\nResponse timeout."));
        box->close(); // closing deletes it
        QTRY_VERIFY(box.isNull());
    }

    // Last: it leaves the program in Czech.
    void compiledTranslationsLoad()
    {
        const QString zoom = QStringLiteral("Zvětšit okno");
        installTranslations(QLocale(QStringLiteral("cs")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
        QCOMPARE(QCoreApplication::translate("MessageBox", "Please Wait"),
                 QStringLiteral("Čekejte prosím"));
        // Table headers the model makes follow the language too.
        QCOMPARE(ParameterTable::axisItems().last().label(), QStringLiteral("Osa 7"));
        // Qt's own texts come along where the system has them.
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                          QStringLiteral("/qtbase_cs.qm")))
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                     QStringLiteral("Zrušit"));
        // A language without files changes nothing and breaks nothing.
        installTranslations(QLocale(QStringLiteral("xx")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
    }
};

VRK6_GUI_TEST_MAIN(TestMainWindow, false)
#include "tst_mainwindow.moc"
