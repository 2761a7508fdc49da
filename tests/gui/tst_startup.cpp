// Start-up as the program runs it: the command line, its boxes and exit codes,
// the remote panel flow and the file editor; target selection against the
// simulator, the host history and the table of discovered machines. Runs in a
// private network; a watcher answers boxes and windows as a user would.
#include "acpu/modbusconnection.h"
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "backup/backupdata.h"
#include "backup/fileviewer.h"
#include "common/simulateduser.h"
#include "mdns/testdata.h"
#include "model/machine.h"
#include "privatenetwork.h"
#include "simprocess.h"
#include "widgetlookup.h"
#include "widgets/mdnstablemodel.h"
#include "widgets/mdnstableview.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {
// Calls the model's private slot as the discovery engine would.
template <typename... Args> void Feed(MdnsTableModel *model, const char *slot, Args... args)
{
    QVERIFY(QMetaObject::invokeMethod(
        model, slot, QArgument<Args>(QMetaType::fromType<Args>().name(), args)...));
}

QString Row(const MdnsTableModel *model, int row)
{
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells.append(model->index(row, column).data().toString());
    return cells.join(QLatin1Char('|'));
}

QStringList History()
{
    return QSettings().value(QStringLiteral("hostnames")).toStringList();
}

struct Target
{
    Acpu::ModbusConnection connection;
    Machine machine{&connection};
    HostnameDialog dialog;
    QComboBox *box = child<QComboBox>(&dialog, "hostnameBox");
    MdnsTableView *view = dialog.findChild<MdnsTableView *>();
    MdnsTableModel *model = view->mdnsModel();

    explicit Target(const QString &host = {}) : dialog(&machine, host) { dialog.show(); }
    bool okEnabled() const
    {
        return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
    }
};
const QString NoDialog = QStringLiteral("(no dialog)");

// Runs the program with these options and answers as a user: boxes with Ok,
// an idle target dialog with Cancel. Remembers the boxes, the host the dialog
// showed and the title of the window it closes: the main window once it shows
// the machine's display, a file editor window once it has been up for a look
// (its load error comes just after it shows).
class Watcher : public QObject
{
public:
    SimulatedUser user;
    QString dialogHost = NoDialog, windowTitle;
    int exitCode = -1, windows = 0;

    explicit Watcher(const QStringList &options)
    {
        user.other = [](QDialog *dialog) {
            if (auto *target = qobject_cast<HostnameDialog *>(dialog); target && !target->isBusy())
                target->reject();
        };
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, &Watcher::look);
        timer.start(50);
        qApp->installEventFilter(this);
        exitCode = runApplication(QStringList{QStringLiteral("vrk6-display")} + options);
        qApp->removeEventFilter(this);
    }

protected:
    // The dialog may be done before the timer looks: catch it being shown.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (auto *dialog = qobject_cast<HostnameDialog *>(watched);
            dialog && event->type() == QEvent::Show)
            dialogHost = dialog->findChild<QComboBox *>()->currentText();
        return false;
    }

private:
    void look()
    {
        if (QApplication::activeModalWidget())
            return;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *main = qobject_cast<MainWindow *>(widget);
            if (!widget->isVisible() || !(main || qobject_cast<FileViewer *>(widget)))
                continue;
            if (main ? !child<QLabel>(main, "display1")->text().trimmed().isEmpty()
                     : seen.contains(widget)) {
                windowTitle = widget->windowTitle();
                ++windows;
                widget->close();
                return; // closing may take other top-level widgets along
            }
            seen.insert(widget);
        }
    }
    QSet<QWidget *> seen;
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    SimProcess sim;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(BackupData::write(path("full.vrk"), BackupData::json(BackupData::full())) &&
                BackupData::write(path("bad.vrk"), "{\"_machine\": "));
        QVERIFY(sim.start({"--type", "ZumB1", "--serial", "4321", "--model-version", "7"}));
    }

    void init() { QSettings().clear(); }

    // The history fills the host box; a blank host starts nothing; Cancel while
    // the machine is identified drops the connection and leaves the dialog
    // ready; the host given again is identified and remembered.
    void typedHostConnectsCancelsAndIsRemembered()
    {
        const QStringList known{QStringLiteral("m1.local"), QStringLiteral("10.0.0.9")};
        QSettings().setValue(QStringLiteral("hostnames"), known);
        Target target;
        QCOMPARE(target.box->count(), 2);
        QCOMPARE(target.box->itemText(0), known.first());
        target.box->setEditText(QStringLiteral("  "));
        target.dialog.accept();
        QVERIFY(target.dialog.isVisible() && !target.dialog.isBusy());
        QVERIFY(target.connection.Host().isEmpty());

        bool busyAtCancel = false;
        auto cancel = connect(&target.connection, &Acpu::Connection::stateChanged, &target.dialog,
                              [&](Acpu::Connection::ConnectionState state) {
                                  if (state != Acpu::Connection::Connected)
                                      return;
                                  busyAtCancel = target.dialog.isBusy();
                                  target.dialog.reject();
                              });
        target.box->setEditText(sim.host());
        target.dialog.accept();
        QVERIFY(target.dialog.isBusy() && !target.okEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(busyAtCancel, 5000);
        disconnect(cancel);
        QTRY_COMPARE(target.connection.State(), Acpu::Connection::Disconnected);
        QTRY_VERIFY(!target.dialog.isBusy());
        QVERIFY(target.dialog.isVisible() && target.okEnabled());
        QCOMPARE(History(), known);
        QTest::qWait(300); // the aborted identification ends without a box
        QVERIFY(target.dialog.findChildren<QMessageBox *>().isEmpty());

        target.dialog.accept();
        QTRY_COMPARE_WITH_TIMEOUT(target.dialog.result(), int(QDialog::Accepted), 5000);
        QCOMPARE(target.connection.State(), Acpu::Connection::Connected);
        QCOMPARE(History(), QStringList{sim.host()} + known);
    }

    // A host that fails, at once (a port out of range, before the dialog is
    // shown) or when refused: one box, over the dialog, and the dialog stays
    // ready for a host that answers.
    void failingHostGivesOneBox_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("at once") << QStringLiteral("127.0.0.1:99999");
        QTest::newRow("refused") << QStringLiteral("127.0.0.1:%1").arg(SimProcess::freePort());
    }

    void failingHostGivesOneBox()
    {
        QFETCH(QString, host);
        Target target(host);
        QPointer<QMessageBox> box;
        QTRY_VERIFY_WITH_TIMEOUT((box = target.dialog.findChild<QMessageBox *>()), 5000);
        QTRY_VERIFY(box->isVisible());
        QTest::qWait(200);
        QCOMPARE(target.dialog.findChildren<QMessageBox *>().size(), 1);
        QVERIFY(box->informativeText().contains(QStringLiteral(" - ")));
        const QPoint offCentre = box->geometry().center() - target.dialog.geometry().center();
        QVERIFY2(offCentre.manhattanLength() < 40, "centred on the dialog");
        QTRY_VERIFY_WITH_TIMEOUT(!target.dialog.isBusy(), 3000);
        QVERIFY(target.dialog.isVisible() && target.okEnabled());
        QVERIFY(History().isEmpty());
        box->close();
        QTRY_VERIFY(box.isNull());
        target.box->setEditText(sim.host());
        target.dialog.accept();
        QTRY_COMPARE_WITH_TIMEOUT(target.dialog.result(), int(QDialog::Accepted), 5000);
    }

    // The discovery table at the dialog's size shows every column whole; Tab
    // passes through it without touching the typed host; a chosen row fills
    // it in (with a port other than Modbus's own), a row without an address
    // leaves it alone, a double-click connects; the dialog's size is kept.
    // Then the model alone follows the services it is fed.
    void discoveryTable()
    {
        {
            Target target;
            QVERIFY(QTest::qWaitForWindowActive(&target.dialog));
            MdnsTableView *view = target.view;
            MdnsTableModel *model = target.model;
            for (const QByteArray name : {"ZUM-B1 4321", "VRK-C1 77", "plain"}) {
                const Mdns::Service service =
                    TestData::service(name, QByteArray(name).replace(' ', '-') + ".local.",
                                      name == "VRK-C1 77" ? 1502 : 502,
                                      {{name.left(6) + " serial 4321 software 6.12", {}}});
                Feed(model, "onServiceAdded", service);
                if (name != "plain")
                    Feed(model, "onServiceResolved", service,
                         QHostAddress(QStringLiteral("127.0.0.6")));
            }
            QTRY_VERIFY(view->horizontalHeader()->length() <= view->viewport()->width());
            QVERIFY(view->columnWidth(3) >=
                    static_cast<QAbstractItemView *>(view)->sizeHintForColumn(3));

            target.box->setEditText(QStringLiteral("10.9.8.7"));
            target.box->setFocus();
            QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), view);
            QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget() != view);
            QCOMPARE(target.box->currentText(), QStringLiteral("10.9.8.7"));
            view->selectRow(1);
            QCOMPARE(target.box->currentText(), QStringLiteral("127.0.0.6:1502"));
            view->selectRow(2);
            QCOMPARE(target.box->currentText(), QStringLiteral("127.0.0.6:1502"));
            target.dialog.resize(720, 410);

            const QPoint cell = view->visualRect(model->index(0, 1)).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
            QCOMPARE(target.box->currentText(), QStringLiteral("127.0.0.6"));
            QCOMPARE(target.connection.Host(), QStringLiteral("127.0.0.6"));
            target.connection.Disconnect();
            QTRY_VERIFY(!target.dialog.isBusy());
            // The chosen machine leaving does not put the next one in its place.
            Feed(model, "onServiceRemoved", TestData::service("ZUM-B1 4321", "ZUM-B1-4321.local."));
            QCOMPARE(target.box->currentText(), QStringLiteral("127.0.0.6"));
            target.dialog.reject(); // not busy any more: Cancel ends the dialog
            QVERIFY(!target.dialog.isVisible());
        }
        Target again;
        QCOMPARE(again.dialog.size(), QSize(720, 410));

        MdnsTableModel *model = again.model;
        const Mdns::Service first =
            TestData::service(QByteArray("VrkC1 1000\0junk", 15), "m1.local.");
        Feed(model, "onServiceAdded", first);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(Row(model, 0), QStringLiteral("VrkC1 1000|m1.local||")); // no trailing dot
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        Feed(model, "onServiceResolved", first, QHostAddress(QStringLiteral("127.0.0.5")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(Row(model, 0), QStringLiteral("VrkC1 1000|m1.local|127.0.0.5|"));

        // A second service of the same name gets its own row; updates, addresses
        // and removals go to the first.
        const Mdns::Service twin = TestData::service(first.name(), "m2.local.");
        Feed(model, "onServiceAdded", twin);
        Feed(model, "onServiceResolved", twin, QHostAddress(QStringLiteral("::1")));
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(Row(model, 1), QStringLiteral("VrkC1 1000|m2.local||"));
        const auto record = model->index(0, 0).data(Qt::UserRole).value<MdnsTableModel::Record>();
        QCOMPARE(record.addresses.size(), 2);
        const Mdns::Service moved =
            TestData::service(first.name(), "m3.local.", 502, {{"a", "b c"}});
        Feed(model, "onServiceUpdated", moved);
        // The old host's addresses are not the new host's.
        QCOMPARE(Row(model, 0), QStringLiteral("VrkC1 1000|m3.local||ab c"));
        Feed(model, "onServiceResolved", moved, QHostAddress(QStringLiteral("127.0.0.8")));
        QCOMPARE(Row(model, 0), QStringLiteral("VrkC1 1000|m3.local|127.0.0.8|ab c"));
        Feed(model, "onServiceRemoved", first);
        Feed(model, "onServiceRemoved", TestData::service("gone", "o.local."));
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(Row(model, 0), QStringLiteral("VrkC1 1000|m2.local||"));
    }

    void historyRules()
    {
        // Ten at most, newest first: the eleventh drops the oldest.
        QStringList hosts;
        for (int i = 1; i <= 11; ++i)
            HostnameDialog::addToHistory(hosts.emplaceFront(QStringLiteral("host%1.local").arg(i)));
        QCOMPARE(History(), hosts.first(10));
        // A known host in other letters moves to the front, spelled as now used.
        hosts.removeOne(QStringLiteral("host5.local"));
        HostnameDialog::addToHistory(hosts.emplaceFront(QStringLiteral("HOST5.LOCAL")));
        QCOMPARE(History(), hosts.first(10));
        // A history written otherwise (by hand, by an older program) is offered
        // and kept by the same rules: no blank, each host once, ten at most.
        hosts = QStringLiteral("a,b,,A,[::1]:1502,c,d,e,f,g,h,i,j,k").split(u',');
        QSettings().setValue(QStringLiteral("hostnames"), hosts);
        const QStringList offered = QStringLiteral("a,b,[::1]:1502,c,d,e,f,g,h,i").split(u',');
        QStringList shown;
        Target target;
        for (int i = 0; i < target.box->count(); ++i)
            shown << target.box->itemText(i);
        QCOMPARE(shown, offered);
        HostnameDialog::addToHistory(QStringLiteral("B"));
        QCOMPARE(History(), QStringList{QStringLiteral("B")} + (offered.first(1) + offered.mid(2)));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("box");    // a pattern for the one box, or no box
        QTest::addColumn<QString>("dialog"); // the host the target dialog showed, or none
        QTest::addColumn<QString>("title");  // how the one window's title starts, or no window
        const QString help = QStringLiteral("Backup file to open.");
        const QString error = QStringLiteral("</pre><hr/><pre>.*") + help; // complaint, help
        const QString unnamed = "Backup File Editor :: (unnamed)[*] (VRK-C1 (v. 6))";
        const auto row = [](const char *name, const QString &options, const QString &box,
                            const QString &title = {}, int exitCode = 0) {
            QTest::newRow(name) << options.split(QLatin1Char(' ')) << exitCode << box << NoDialog
                                << title;
        };
        row("unknown", "--bogus", error, {}, 22);
        row("help all", "--help-all", help);
        row("version", "-v", QStringLiteral("VRK6 Remote Display 24.8.8"));
        row("help wins", "-v -h", help);
        row("offline", "--offline", {}, QStringLiteral("Unknown (v. 0) Remote Display"));
        row("file and offline", "-f -o", {}, unnamed);
        row("file", "-f " + path("full.vrk"), {},
            "Backup File Editor :: " + QDir::toNativeSeparators(path("full.vrk")) +
                "[*] (VRK-C1 (v. 8))");
        row("unreadable file", "--file " + path("bad.vrk"),
            QRegularExpression::escape("There was an error loading the backup file.\n" +
                                       QDir::toNativeSeparators(path("bad.vrk"))),
            "Backup File Editor");
        // The host goes to the dialog (trimmed like a typed one), the panel opens.
        QTest::newRow("host") << QStringList{' ' + sim.host() + ' '} << 0 << QString() << sim.host()
                              << "ZUM-B1 (v. 7) Remote Display :: S/N: 4321 (" + sim.host() + ")";
    }

    void commandLine()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, box);
        QFETCH(QString, title);
        Watcher watcher(options);
        QTEST(watcher.exitCode, "exitCode");
        QCOMPARE(watcher.user.said.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(box.isEmpty() || watcher.user.said.first().contains(QRegularExpression(
                                     box, QRegularExpression::DotMatchesEverythingOption)));
        QTEST(watcher.dialogHost, "dialog");
        QCOMPARE(watcher.windows, title.isEmpty() ? 0 : 1);
        QVERIFY2(watcher.windowTitle.startsWith(title), qPrintable(watcher.windowTitle));
    }

    // Settings that cannot be written are said at start, not lost in silence.
    void unwritableSettings()
    {
        const QString file = QSettings().fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file)); // a directory where the file belongs
        const auto restore = qScopeGuard([&file] { QDir(file).removeRecursively(); });
        Watcher watcher({QStringLiteral("--offline")});
        QCOMPARE(watcher.user.said.size(), 1);
        QVERIFY2(watcher.user.said.first().contains(QDir::toNativeSeparators(file)),
                 qPrintable(watcher.user.said.first()));
        QCOMPARE(watcher.windows, 1);
    }
};

VRK6_GUI_TEST_MAIN(TestStartup, true)
#include "tst_startup.moc"
