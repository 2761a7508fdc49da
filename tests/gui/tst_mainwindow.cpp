// The program's windows as a user meets them. The main window on the offline
// connection: keys, lamps, failures, zoom and settings; the feedback pieces
// (progress and error boxes) on real requests. The Backup File Editor:
// start-up, documents, the save question, import, export, window modes, views
// and the data-model dialog, on real files, with every dialog answered by a
// simulated user. Last, the translations compiled into the resources.
#include "acpu/display.h"
#include "acpu/modbusconnection.h"
#include "acpu/offlineconnection.h"
#include "acpu/request.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "backup/backupdata.h"
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backup/backupimport.h"
#include "backup/fileviewer.h"
#include "backup/messagebox.h"
#include "common/simulateduser.h"
#include "editors/modelversiondialog.h"
#include "editors/parametersview.h"
#include "editors/teethview.h"
#include "model/machine.h"
#include "model/parametertable.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"
#include "privatenetwork.h"
#include "widgetlookup.h"
#include "widgets/qtableviewclipboard.h"
#include "widgets/qwaitingspinner.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <sys/resource.h>

using namespace BackupData;

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

BackupDocument *documentOf(QWidget *window)
{
    return window->findChild<BackupDocument *>(QString(), Qt::FindDirectChildrenOnly);
}

QAction *exportAction(QWidget *window, const QString &title)
{
    for (QAction *action : child<QMenu>(window, "menuExport")->actions())
        if (action->text() == title + QStringLiteral("..."))
            return action;
    return nullptr;
}

QMdiArea *area(QWidget *window)
{
    return window->findChild<QMdiArea *>();
}

// The table of the sub-window of a group.
QAbstractItemModel *table(QWidget *window, const QString &title)
{
    for (QMdiSubWindow *sub : area(window)->subWindowList())
        if (sub->widget()->windowTitle().startsWith(title))
            return sub->widget()->findChild<QTableView *>()->model();
    return nullptr;
}

FileViewer *openWindow(const QString &fileName)
{
    auto *window = new FileViewer(fileName);
    window->show();
    return window;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QJsonObject all = full();
        QVERIFY(
            write(path("full.vrk"), json(all)) && write(path("bad.vrk"), "{\"_machine\": ") &&
            write(path("coordsys.vrk"),
                  json({{"_machine", "VrkD1"}, {"_version", 7}, {"coordsys", all["coordsys"]}})) &&
            write(path("teeth.vrk"),
                  json({{"_machine", "VrkA1"}, {"_version", 6}, {"teeth", teeth(0.5)}})) &&
            write(
                path("cvrk1.cvrk"),
                json({{"machine", "CVRK"}, {"dataLevel", 1}, {"techparams", numbers(53, 2.0)}})) &&
            write(path("zum3.cvrk"), json({{"machine", "ZUM"}, {"dataLevel", 3}})) &&
            write(path("bad.cvrk"), "{\"machine\""));
    }

    void init() { QSettings().clear(); }

    void cleanup()
    {
        const QWidgetList top = QApplication::topLevelWidgets();
        for (const QPointer<QWidget> &window : QList<QPointer<QWidget>>(top.begin(), top.end()))
            if (qobject_cast<FileViewer *>(window)) // a window takes its dialogs with it
                delete window;
        QCOMPARE(FileViewer::windowCount(), 0);
    }

    // One panel through its life. The refresh: whichever way the connection
    // reports trouble, the spinner covers the display, its text dims and an
    // error stays in the status bar until a refresh succeeds again. The keys:
    // each on-screen key sends its own shifted code (no two share one) after
    // the shift key, which then lets go; Shift alone on the keyboard shifts
    // too, and keys typed on any child reach the machine. The keyboard belongs
    // to the machine whatever the user did with the menus before; menus open by
    // mouse, and by mnemonic only with Alt held. Zoom enlarges the window and
    // its texts and stores no geometry; the size a window closes at comes back;
    // resetting the windows' settings forgets sizes, layouts and the Backup
    // File Editor's window mode, not the host history.
    void panel()
    {
        const QString geometryKey = QStringLiteral("MainWindow/geometry");
        QSize before;
        {
            Panel panel;
            MainWindow &w = panel.window;
            QWaitingSpinner *spinner = w.spinner();
            auto *line = panel.child<QLabel>("display1");
            QStatusBar *status = w.statusBar();
            QVERIFY(line->text().isEmpty()); // never the form's placeholder
            QTRY_VERIFY(!line->text().isEmpty());
            QVERIFY(!spinner->isSpinning());
            QString lamps; // the offline machine lights run and mode 1
            for (const char *name : {"runLed", "errorLed", "mode1Led", "mode2Led"})
                lamps += panel.child<QRadioButton>(name)->isChecked() ? '1' : '0';
            QCOMPARE(lamps, QStringLiteral("1010"));
            const QImage live = line->grab().toImage();
            for (const QString failure : {"error", "stall", "lost"}) {
                if (failure == QLatin1String("error"))
                    emit panel.connection.errorOccurred(5, QStringLiteral("Connection refused %1"));
                else if (failure == QLatin1String("stall"))
                    emit panel.connection.pollingStalled();
                else
                    panel.connection.Close();
                QVERIFY2(spinner->isVisible() && spinner->isSpinning(), qPrintable(failure));
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

            QList<std::pair<QString, int>> buttons{
                {"upBtn", Qt::Key_Up},       {"downBtn", Qt::Key_Down},
                {"leftBtn", Qt::Key_Left},   {"rightBtn", Qt::Key_Right},
                {"escBtn", Qt::Key_Escape},  {"insBtn", Qt::Key_Insert},
                {"delBtn", Qt::Key_Delete},  {"plusBtn", Qt::Key_Plus},
                {"minusBtn", Qt::Key_Minus}, {"dotBtn", Qt::Key_Colon},
                {"enterBtn", Qt::Key_Enter}};
            for (int i = 0; i < 10; ++i)
                buttons.append({QStringLiteral("key%1btn").arg(i), Qt::Key_0 + i});
            for (int i = 0; i < 5; ++i)
                buttons.append({QStringLiteral("f%1btn").arg(i + 1), Qt::Key_F1 + i});
            const auto &keys = MainWindow::KeyMap();
            auto *led = panel.child<QRadioButton>("shiftLed");
            for (const auto &[button, key] : buttons) {
                QTest::mouseClick(panel.child<QPushButton>("shiftBtn"), Qt::LeftButton);
                QVERIFY(led->isChecked());
                QTest::mouseClick(panel.child<QPushButton>(qPrintable(button)), Qt::LeftButton);
                QVERIFY2(panel.lastSentKey() == keys.value(key).second, qPrintable(button));
                QVERIFY(!led->isChecked());
            }
            for (const auto &[key, codes] : keys.asKeyValueRange()) {
                QTest::keyClick(&w, Qt::Key(key), Qt::ShiftModifier);
                QVERIFY2(panel.lastSentKey() == codes.second,
                         qPrintable(QKeySequence(key).toString()));
            }
            QTest::keyClick(&w, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(panel.lastSentKey(), keys.value(Qt::Key_Up).first);
            QTest::keyClick(&w, 'a');
            QCOMPARE(panel.lastSentKey(), 0x61);
            QTest::keyClick(&w, Qt::Key_Period); // no panel code: nothing is sent
            QCOMPARE(panel.lastSentKey(), 0x61);
            QTest::keyClick(panel.child<QLabel>("display2"), Qt::Key_7);
            QCOMPARE(panel.lastSentKey(), 0x37);

            QVERIFY(QTest::qWaitForWindowActive(&w));
            QMenuBar *bar = w.menuBar();
            const QPoint fileMenu = bar->actionGeometry(bar->actions().first()).center();
            QWidget *const focus = nullptr; // keys go where the application sends them
            for (const QString menus : {"Alt tapped", "menu closed by Esc", "menu closed by click"})
                for (const auto &[key, codes] : keys.asKeyValueRange()) {
                    if (menus == QLatin1String("Alt tapped")) {
                        QTest::keyClick(focus, Qt::Key_Alt);
                    } else {
                        QTest::mouseClick(bar, Qt::LeftButton, {}, fileMenu);
                        QTRY_VERIFY(QApplication::activePopupWidget());
                        if (menus == QLatin1String("menu closed by Esc"))
                            QTest::keyClick(focus, Qt::Key_Escape);
                        else
                            QTest::mouseClick(bar, Qt::LeftButton, {}, fileMenu);
                        QTRY_VERIFY(!QApplication::activePopupWidget());
                    }
                    // As the window system does once a popup has gone.
                    w.activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(&w));
                    panel.connection.SendKey(0);
                    QTest::keyClick(focus, Qt::Key(key));
                    QVERIFY2(panel.lastSentKey() == codes.first,
                             qPrintable(menus + ": " + QKeySequence(key).toString()));
                }
            QVERIFY(!QApplication::activePopupWidget());
            QTest::keyClick(focus, Qt::Key_F, Qt::AltModifier);
            QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
            QApplication::activePopupWidget()->close();

            before = w.size();
            auto *label = panel.child<QLabel>("display3");
            auto *lamp = panel.child<QLabel>("runLedLabel");
            const QList points{label->font().pointSizeF(), lamp->font().pointSizeF()};
            auto *zoom = panel.child<QAction>("actionZoomWindow");
            const QRect screen = w.screen()->availableGeometry();
            w.move(screen.right() - w.frameGeometry().width(), screen.top() + 20);
            zoom->trigger();
            QVERIFY(w.isZoomed() && zoom->isChecked());
            // Grown at the screen's edge, as much of it as the screen holds stays on it.
            QCOMPARE(screen.intersected(w.frameGeometry()).size(),
                     w.frameGeometry().size().boundedTo(screen.size()));
            QVERIFY(w.size() != before && label->font().pointSizeF() > points[0] &&
                    lamp->font().pointSizeF() > points[1]);
            w.close(); // while zoomed: no geometry stored
            QVERIFY(!QSettings().contains(geometryKey));

            w.show();
            zoom->trigger();
            QVERIFY(!w.isZoomed() && !zoom->isChecked());
            QCOMPARE((QList{label->font().pointSizeF(), lamp->font().pointSizeF()}), points);
            QTRY_COMPARE(w.size(), before);
            w.resize(500, 640);
            w.close();
            QVERIFY(QSettings().contains(geometryKey));
        }
        Panel panel; // comes back as it was closed
        QCOMPARE(panel.window.size(), QSize(500, 640));
        QSettings settings;
        for (const char *key : {"MainWindow/geometry", "FileViewer/state", "Parameters/teeth/state",
                                "HostnameDialog/geometry", "hostnames", "FileViewer/mdiMode"})
            settings.setValue(QString::fromLatin1(key), QStringLiteral("x"));
        panel.child<QAction>("actionResetWindowsSettings")->trigger();
        QCOMPARE(panel.window.size(), before);
        QCOMPARE(settings.allKeys(), QStringList{QStringLiteral("hostnames")});
        panel.child<QAction>("actionClearHostHistory")->trigger();
        QVERIFY(settings.allKeys().isEmpty());
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
        // It has no Cancel: Escape or closing it would hide the box of a
        // transfer that goes on.
        QTest::keyClick(progress, Qt::Key_Escape);
        progress->close();
        QVERIFY(progress->isVisible());
        QVERIFY(!progress->wasCanceled());
        request->SetFinished(true);
        QTRY_VERIFY(progress.isNull());
        // The last step of a long transfer (here a 2.6 MB program) is 100 %.
        Acpu::Request large({Acpu::VarRange{0, 671089}}, 60);
        QSignalSpy steps(&large, &Acpu::Request::progress);
        large.AddProgress(large.Count());
        QCOMPARE(steps.last().at(0).toInt(), 100);
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
        QCOMPARE(box->text() + '\n' + box->informativeText(),
                 "There was an error writing data to the machine.\nResponse timeout.");
        box->close(); // closing deletes it
        QTRY_VERIFY(box.isNull());
    }

    // The program ends with its last editor window: not while another is
    // open, and not kept alive by a stray window.
    void lastWindowEndsProgram()
    {
        SimulatedUser user;
        QWidget stray;
        QPointer<FileViewer> first, second;
        bool secondKept = false, loopAlive = false, hung = false;
        QTimer::singleShot(100, &user, [&] {
            first = shownWindows<FileViewer>().value(0);
            table(first, "Technological")->setData(table(first, "Technological")->index(0, 0), 4.5);
            child(first, "actionNew")->trigger();
            second = shownWindows<FileViewer>().value(
                shownWindows<FileViewer>().value(0) == first ? 1 : 0);
            stray.show();
            user.buttons = {QMessageBox::No};
            first->close();
            secondKept = second && second->isVisible();
            // Still running a while later, then the last window goes.
            QTimer::singleShot(300, &user, [&] {
                loopAlive = true;
                second->close();
                QTimer::singleShot(10000, &stray, [&] {
                    hung = true;
                    stray.close();
                });
            });
        });
        QCOMPARE(runApplication({"vrk6-display", "-f", path("full.vrk")}), 0);
        QVERIFY(secondKept && loopAlive);
        QVERIFY2(!hung, "the last editor window closed, the program went on");
        QCOMPARE(user.said.size(), 1); // asked, answered No
    }

    void documents()
    {
        SimulatedUser user;
        FileViewer *first = openWindow({});

        // An untouched document gives way; a used one keeps its window.
        user.files = {{path("full.vrk")}, {path("coordsys.vrk")}};
        child(first, "actionOpen")->trigger();
        QCOMPARE(documentOf(first)->fileName(), path("full.vrk"));
        QCOMPARE(area(first)->subWindowList().size(), 5);
        child(first, "actionOpen")->trigger();
        QCOMPARE(shownWindows<FileViewer>().size(), 2);
        FileViewer *second =
            shownWindows<FileViewer>().at(shownWindows<FileViewer>().at(0) == first ? 1 : 0);
        QCOMPARE(documentOf(second)->fileName(), path("coordsys.vrk"));

        // Closing the document of one of two windows closes that window; of
        // the last one, leaves it open and empty.
        child(second, "actionClose")->trigger();
        QTRY_COMPARE(FileViewer::windowCount(), 1);
        child(first, "actionClose")->trigger();
        QCOMPARE(shownWindows<FileViewer>(), QList<FileViewer *>{first});
        QVERIFY(!documentOf(first) && area(first)->subWindowList().isEmpty());
        QCOMPARE(first->windowTitle(), QStringLiteral("Backup File Editor"));
        QVERIFY(!child(first, "actionSave")->isEnabled());
        QVERIFY(user.said.isEmpty());

        // A fresh document in the empty window, in the untouched one's place;
        // the title shows its name as it is, even one holding the
        // modified-marker placeholder.
        child(first, "actionNew")->trigger();
        user.files = {{path("fresh[*].vrk")}};
        child(first, "actionSave")->trigger();
        QCOMPARE(first->windowHandle()->title(),
                 QStringLiteral("Backup File Editor :: %1 (VRK-C1 (v. 6))")
                     .arg(QDir::toNativeSeparators(path("fresh[*].vrk"))));
        QVERIFY(QFile::exists(path("fresh[*].vrk")));
        user.files = {{path("fresh")}};
        child(first, "actionSaveAs")->trigger();
        QVERIFY(QFile::exists(path("fresh.vrk")));
        QCOMPARE(shownWindows<FileViewer>().size(), 1);
    }

    void saveQuestion_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("inEditor"); // the value still in the cell's open editor
        QTest::newRow("no") << QMessageBox::No << false << false;
        QTest::newRow("cancel") << QMessageBox::Cancel << false << false;
        QTest::newRow("yes, save fails") << QMessageBox::Yes << true << false;
        QTest::newRow("yes, value in its editor") << QMessageBox::Yes << false << true;
    }

    void saveQuestion()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, inEditor);
        const bool saved = answer == QMessageBox::Yes && !saveFails;
        const bool closes = saved || answer == QMessageBox::No;
        const QString file = path("question.vrk");
        const QByteArray before = read(path("full.vrk"));
        QVERIFY(write(file, before));
        SimulatedUser user;
        QPointer<FileViewer> window = openWindow(file);
        auto *view = area(window)->subWindowList().first()->findChild<QTableView *>();
        const QModelIndex cell = view->model()->index(0, 0);
        if (inEditor) {
            view->edit(cell);
            view->viewport()->findChild<QLineEdit *>()->setText("4.5");
        } else {
            view->model()->setData(cell, 4.5);
            QVERIFY(window->isWindowModified());
        }

        user.buttons = {answer};
        // A real failure: the file size limit stops the write of the (larger
        // than the limit) document half-way, as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit smaller{saveFails ? 8192 : limit.rlim_cur, limit.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &smaller), 0);
        window->close();
        setrlimit(RLIMIT_FSIZE, &limit);

        QCOMPARE(!window->isVisible(), closes);
        QCOMPARE(read(file) != before, saved);
        QVERIFY(closes || window->isWindowModified());
        QTRY_COMPARE(user.said.size(), saveFails ? 2 : 1);
        QVERIFY(!saveFails ||
                user.said.last().startsWith("There was an error saving the backup file.\n"));
    }

    void imports_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("said"); // how the one box begins
        QTest::addColumn<int>("brought");  // the group the import adds, or 0
        const QString loadError = "There was an error loading the backup file.\n";
        // Of two files the first fails and is reported; the second still comes in.
        QTest::newRow("two files")
            << "actionImport" << QStringList{path("bad.vrk"), path("teeth.vrk")}
            << loadError + QDir::toNativeSeparators(path("bad.vrk")) << 5;
        const QString v5 = "actionImportV5Backup";
        QTest::newRow("CVRK level 1")
            << v5 << QStringList{path("cvrk1.cvrk")}
            << "Import completed. Following parameters were not imported and must be checked:\n"
            << 1;
        QTest::newRow("unsupported")
            << v5 << QStringList{path("zum3.cvrk")} << "Unsupported backup data.\nZUM: 3" << 0;
        QTest::newRow("malformed") << v5 << QStringList{path("bad.cvrk")} << loadError << 0;
    }

    // An import brings its group, as edits, into a sub-window the document
    // gets for it; a version 5 backup lists what it lacked; a file the import
    // cannot take changes nothing.
    void imports()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, files);
        QFETCH(QString, said);
        QFETCH(int, brought);
        SimulatedUser user;
        auto *window = openWindow(path("coordsys.vrk"));
        user.files = {files};
        child(window, qPrintable(action))->trigger();
        QTRY_COMPARE(user.said.size(), 1);
        const QString listed = user.said.first();
        QVERIFY2(listed.startsWith(said), qPrintable(listed));
        const TechParameters tech;
        QCOMPARE(area(window)->subWindowList().size(), brought ? 2 : 1);
        QCOMPARE(exportAction(window, tech.title())->isEnabled(), brought == 1);
        QCOMPARE(exportAction(window, Teeth().title())->isEnabled(), brought == 5);
        QCOMPARE(window->isWindowModified(), brought != 0);
        if (brought != 1)
            return;
        const QStringList lines = listed.split('\n');
        QVERIFY(lines.contains(tech.items().at(53).label(ModelVersion(VrkD1, 7))));
        QVERIFY(!lines.contains(tech.items().at(1).label(ModelVersion(VrkD1, 7))));
    }

    // Both window modes: the arranging actions only with several windows, no
    // sub-window closes on its own. Tabbed, a file of one group fills the area
    // too; in several windows, they are tiled on open over the whole area.
    void windowModes()
    {
        QTRY_VERIFY(area(openWindow(path("teeth.vrk")))->subWindowList().first()->isMaximized());
        FileViewer *window = nullptr;
        for (const bool multiWindow : {false, true}) {
            QSettings().setValue("FileViewer/mdiMode", multiWindow);
            window = openWindow(path("full.vrk"));
            for (const char *name : {"actionTile", "actionCascade", "actionColumns"})
                QCOMPARE(child(window, name)->isEnabled(), multiWindow);
            QCOMPARE(area(window)->viewMode(),
                     multiWindow ? QMdiArea::SubWindowView : QMdiArea::TabbedView);
            for (QMdiSubWindow *sub : area(window)->subWindowList())
                QVERIFY(
                    !(sub->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
        }
        QMdiArea *mdi = area(window);
        const QList<QMdiSubWindow *> subs = mdi->subWindowList();
        QTRY_VERIFY(subs.at(0)->isVisible());
        QRect covered;
        for (QMdiSubWindow *sub : subs)
            covered |= sub->geometry();
        QCOMPARE(covered, mdi->viewport()->rect());

        window->resize(window->width() + 900 - mdi->viewport()->width(), window->height());
        QTRY_COMPARE(mdi->viewport()->width(), 900);
        child(window, "actionColumns")->trigger();
        for (int i = 0; i < subs.size(); ++i)
            QCOMPARE(subs[i]->geometry(), QRect(i * 180, 0, 180, mdi->viewport()->height()));

        // Stored off a larger screen, a window comes back whole on this one.
        const QRect screen = window->screen()->availableGeometry();
        window->setGeometry(QRect(screen.center(), screen.size() + QSize(300, 300)));
        QVERIFY(window->close());
        window = openWindow(path("full.vrk"));
        // Its content, that is: the frame is known only once it shows.
        QVERIFY2(screen.contains(window->geometry()),
                 qPrintable(QDebug::toString(window->geometry())));
    }

    // One VRK-C1 file in its window. The data-model dialog starts at the
    // version given, at the first machine when it knows none. Each export
    // action writes its sections elsewhere (what the document keeps:
    // tst_backup). The groups' sub-windows: each marks its own edits, the
    // filter action thins rows and teeth shapes, the shape selector picks the
    // teeth shown (an entry without a shape number picks none), none closes on
    // its own. Last, the model chosen in the dialog reaches the document
    // (which saves it: tst_backup), the title and the greying of the views.
    void editorWindow()
    {
        const std::tuple<ModelVersion, QString, ModelVersion> dialogs[] = {
            {ModelVersion(), "VRK-A1", {VrkA1, 6}},
            {{Unknown, 7}, "VRK-A1", {VrkA1, 7}},
            {{VrkE1, 9}, "VRK-E1", {VrkE1, 9}}};
        for (const auto &[given, shown, chosen] : dialogs) {
            ModelVersionDialog dialog(given);
            QCOMPARE(dialog.findChild<QComboBox *>("machine")->currentText(), shown);
            QCOMPARE(dialog.version(), chosen);
        }

        SimulatedUser user;
        const QString file = path("full.vrk"), out = path("export.vrk");
        auto *window = openWindow(file);
        for (const auto &[action, tags] :
             {std::pair{child(window, "actionExportConfig"), QList<int>{1, 2, 3, 4}},
              std::pair{exportAction(window, Tools().title()), QList<int>{4}}}) {
            QFile::remove(out);
            user.files = {{path("export")}}; // the extension comes by itself
            action->trigger();
            QTRY_VERIFY(QFile::exists(out));
            BackupFile exported(out);
            QVERIFY(exported.load());
            for (int tag = 1; tag <= 5; ++tag)
                QCOMPARE(exported.hasSection(tag), tags.contains(tag));
        }

        auto *tech = area(window)->subWindowList().first()->findChild<ParametersView *>();
        auto *teeth = window->findChild<TeethView *>();
        QAbstractItemModel *rows = tech->table()->model(), *teethShown = teeth->table()->model();
        QVERIFY(tech->windowTitle().endsWith(QStringLiteral(" [*]")));
        QVERIFY(rows->setData(rows->index(3, 0), QStringLiteral("7")));
        QVERIFY(tech->isWindowModified() && !teeth->isWindowModified());
        auto *shapes = teeth->findChild<QComboBox *>(QStringLiteral("group"));
        const int all = rows->rowCount();
        trigger(window, "actionFilterItems");
        QCOMPARE_LT(rows->rowCount(), all);
        QCOMPARE(shapes->count(), 8); // no L9
        trigger(window, "actionFilterItems");
        QCOMPARE(rows->rowCount(), all);
        shapes->setCurrentIndex(2);
        QCOMPARE(teethShown->index(0, 0).data().toString(), QStringLiteral("303.000000"));
        QStandardItemModel foreign;
        foreign.appendRow(new QStandardItem(QStringLiteral("x")));
        foreign.item(0)->setData(QStringLiteral("x"), Qt::UserRole);
        shapes->setModel(&foreign);
        QCOMPARE(teethShown->index(0, 0).data().toString(), QStringLiteral("303.000000"));
        QVERIFY(!tech->close() && !teeth->close());

        user.other = [](QDialog *dialog) {
            auto *machine = dialog->findChild<QComboBox *>("machine");
            machine->setCurrentIndex(machine->findText("ZUM-B1"));
            dialog->findChild<QSpinBox *>("modelVersion")->setValue(7);
            dialog->accept();
        };
        child(window, "actionSelectDataModel")->trigger();
        QTRY_COMPARE(documentOf(window)->version(), ModelVersion(ZumB1, 7));
        QCOMPARE(window->windowTitle(),
                 "Backup File Editor :: " + QDir::toNativeSeparators(file) + "[*] (ZUM-B1 (v. 7))");
        // Row 60 is the ZUM-B1's only: grey before, black now.
        const QModelIndex cell = table(window, "Technological")->index(60, 0);
        QCOMPARE(cell.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
    }

    // Last: it leaves the program's language changed.
    void compiledTranslationsLoad()
    {
        const QString zoom = QStringLiteral("Zvětšit okno");
        installTranslations(QLocale(QStringLiteral("cs")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
        // Table headers the model makes follow the language too.
        QCOMPARE(ParameterTable::axisItems().last().label(), QStringLiteral("Osa 7"));
        // Qt's own texts come along where the system has them.
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_cs.qm")) {
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Zrušit");
            // The reason of a refused connection, which the system would give in its language.
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            Acpu::ModbusConnection connection;
            connection.SetHost(QStringLiteral("127.0.0.1:%1").arg(closed.serverPort()));
            closed.close();
            QSignalSpy error(&connection, &Acpu::Connection::errorOccurred);
            connection.Open();
            QVERIFY(error.wait());
            const QString reason = connection.ErrorString();
            QVERIFY2(reason.endsWith(u"Spojení bylo odmítnuto") ||
                         reason.endsWith(u"Spojení restartováno protějškem"),
                     qPrintable(reason));
        }
        // Messages of the import, which are made outside any window.
        QVERIFY(write(path("import.cvrk"), R"({"axes": []})"));
        BackupImport import(path("import.cvrk"));
        QVERIFY(import.load().has_value());
        QCOMPARE(import.parseSections().error(), QStringLiteral("Oddíl axes je neznámý."));
        // A language without files changes nothing and breaks nothing.
        installTranslations(QLocale(QStringLiteral("xx")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
        // English asked for on a Czech system is English, Qt's texts too.
        installTranslations(QLocale(QStringLiteral("en")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), u"Zoom Window");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel");
    }
};

VRK6_GUI_TEST_MAIN(TestMainWindow, false)
#include "tst_mainwindow.moc"
