// Target selection against the simulator, the host history, and the table
// of discovered machines fed with services. Runs in a private network.
#include "acpu/modbusconnection.h"
#include "app/hostnamedialog.h"
#include "mdns/service.h"
#include "model/machine.h"
#include "privatenetwork.h"
#include "simprocess.h"
#include "widgets/mdnstablemodel.h"
#include "widgets/mdnstableview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

Mdns::Service MakeService(const QByteArray &name, const QByteArray &host, quint16 port = 502)
{
    Mdns::Service service;
    service.setName(name);
    service.setType("_modbus._tcp.local.");
    service.setHostname(host);
    service.setPort(port);
    return service;
}

void Add(MdnsTableModel *model, const Mdns::Service &service)
{
    QVERIFY(QMetaObject::invokeMethod(model, "onServiceAdded", Q_ARG(Mdns::Service, service)));
}
void Update(MdnsTableModel *model, const Mdns::Service &service)
{
    QVERIFY(QMetaObject::invokeMethod(model, "onServiceUpdated", Q_ARG(Mdns::Service, service)));
}
void Remove(MdnsTableModel *model, const Mdns::Service &service)
{
    QVERIFY(QMetaObject::invokeMethod(model, "onServiceRemoved", Q_ARG(Mdns::Service, service)));
}
void Resolve(MdnsTableModel *model, const Mdns::Service &service, const char *address)
{
    QVERIFY(
        QMetaObject::invokeMethod(model, "onServiceResolved", Q_ARG(Mdns::Service, service),
                                  Q_ARG(QHostAddress, QHostAddress(QString::fromLatin1(address)))));
}

QString Cell(const MdnsTableModel *model, int row, int column)
{
    return model->index(row, column).data().toString();
}

// The communication boxes the dialog has open.
QList<QMessageBox *> OpenBoxes(QWidget *dialog)
{
    QList<QMessageBox *> boxes;
    for (QMessageBox *box : dialog->findChildren<QMessageBox *>()) {
        if (box->isVisible())
            boxes.append(box);
    }
    return boxes;
}

struct Target
{
    Acpu::ModbusConnection connection;
    Machine machine{&connection};
};

} // namespace

class TestHostnameDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void typedHostIsIdentifiedAndRemembered();
    void unreachableHostShowsErrorAndStaysUsable();
    void cancelWhileBusyDisconnects();
    void emptyHostDoesNothing();
    void historyRules();
    void modelFollowsServices();
    void machineDescription();
    void viewSelectsCopiesAndConnects();
    void discoveredSimulatorConnects();
};

void TestHostnameDialog::initTestCase()
{
    QVERIFY2(OnlyLoopback(), "discovery must not reach a real network");
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("vrk6-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_hostnamedialog"));
}

void TestHostnameDialog::init()
{
    QSettings().clear();
}

void TestHostnameDialog::typedHostIsIdentifiedAndRemembered()
{
    SimProcess sim;
    QVERIFY(
        sim.start({QStringLiteral("--type"), QStringLiteral("ZumB1"), QStringLiteral("--serial"),
                   QStringLiteral("4321"), QStringLiteral("--model-version"), QStringLiteral("7"),
                   QStringLiteral("--software"), QStringLiteral("655")}));
    QSettings().setValue(QStringLiteral("hostnames"),
                         QStringList{QStringLiteral("m1.local"), QStringLiteral("10.0.0.9")});
    Target target;
    HostnameDialog dialog(&target.machine, QString());
    dialog.show();
    auto *box = dialog.findChild<QComboBox *>(QStringLiteral("hostnameBox"));
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("m1.local"));

    box->setEditText(sim.host());
    QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    QVERIFY(dialog.isBusy());
    QVERIFY(!dialog.findChild<QWidget *>(QStringLiteral("centralWidget"))->isEnabled());
    QVERIFY(!dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 5000);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(target.connection.State(), Acpu::Connection::Connected);
    QCOMPARE(target.machine.machineType(), MachineType::ZumB1);
    QCOMPARE(target.machine.modelVersion().version(), 7u);
    QCOMPARE(target.machine.serialNumber(), 4321u);
    QCOMPARE(target.machine.softwareVersion(), 655u);
    QCOMPARE(QSettings().value(QStringLiteral("hostnames")).toStringList(),
             (QStringList{sim.host(), QStringLiteral("m1.local"), QStringLiteral("10.0.0.9")}));
}

void TestHostnameDialog::unreachableHostShowsErrorAndStaysUsable()
{
    Target target;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(SimProcess::freePort());
    HostnameDialog dialog(&target.machine, host);
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(!OpenBoxes(&dialog).isEmpty(), 5000);
    QMessageBox *box = OpenBoxes(&dialog).first();
    QCOMPARE(box->windowTitle(), QStringLiteral("Communication Error"));
    QCOMPARE(box->text(), QStringLiteral("There was an error in communication with the machine."));
    QVERIFY(box->informativeText().contains(QStringLiteral(" - ")));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isBusy(), 3000);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(dialog.findChild<QWidget *>(QStringLiteral("centralWidget"))->isEnabled());
    QVERIFY(QSettings().value(QStringLiteral("hostnames")).toStringList().isEmpty());

    // The boxes go away with their close; the dialog is still ready for a host.
    QPointer<QMessageBox> guard(box);
    box->close();
    QTRY_VERIFY(guard.isNull());
    SimProcess sim;
    QVERIFY(sim.start());
    dialog.findChild<QComboBox *>(QStringLiteral("hostnameBox"))->setEditText(sim.host());
    dialog.accept();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 5000);
}

void TestHostnameDialog::cancelWhileBusyDisconnects()
{
    SimProcess sim;
    QVERIFY(sim.start());
    Target target;
    HostnameDialog dialog(&target.machine, sim.host());
    dialog.show();
    QVERIFY(dialog.isBusy());
    // Cancel the moment the connection stands, while the machine is being
    // identified.
    bool busyAtCancel = false;
    auto cancel = connect(&target.connection, &Acpu::Connection::stateChanged, &dialog,
                          [&](Acpu::Connection::ConnectionState state) {
                              if (state != Acpu::Connection::Connected)
                                  return;
                              busyAtCancel = dialog.isBusy();
                              dialog.reject();
                          });
    QTRY_VERIFY_WITH_TIMEOUT(
        target.connection.State() == Acpu::Connection::Disconnected && busyAtCancel, 5000);
    disconnect(cancel);
    QVERIFY(dialog.isVisible());
    QCOMPARE(target.connection.State(), Acpu::Connection::Disconnected);
    QTRY_VERIFY(!dialog.isBusy());
    QVERIFY(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled());
    // Not busy any more: Cancel ends the dialog.
    dialog.reject();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(QSettings().value(QStringLiteral("hostnames")).toStringList().isEmpty());
}

void TestHostnameDialog::emptyHostDoesNothing()
{
    Target target;
    HostnameDialog dialog(&target.machine, QString());
    dialog.show();
    QSignalSpy states(&target.connection, &Acpu::Connection::stateChanged);
    dialog.findChild<QComboBox *>(QStringLiteral("hostnameBox"))->setEditText(QStringLiteral("  "));
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.isBusy());
    QCOMPARE(states.count(), 0);
    QVERIFY(target.connection.Host().isEmpty());
}

void TestHostnameDialog::historyRules()
{
    for (int i = 1; i <= 10; ++i)
        HostnameDialog::AddToHistory(QStringLiteral("host%1.local").arg(i));
    QStringList hosts = QSettings().value(QStringLiteral("hostnames")).toStringList();
    QCOMPARE(hosts.size(), 10);
    QCOMPARE(hosts.first(), QStringLiteral("host10.local"));
    QCOMPARE(hosts.last(), QStringLiteral("host1.local"));

    // An eleventh host drops the oldest.
    HostnameDialog::AddToHistory(QStringLiteral("new.local"));
    hosts = QSettings().value(QStringLiteral("hostnames")).toStringList();
    QCOMPARE(hosts.size(), 10);
    QCOMPARE(hosts.first(), QStringLiteral("new.local"));
    QVERIFY(!hosts.contains(QStringLiteral("host1.local")));

    // A known host in other letters moves to the front, spelled as now used.
    HostnameDialog::AddToHistory(QStringLiteral("HOST5.LOCAL"));
    hosts = QSettings().value(QStringLiteral("hostnames")).toStringList();
    QCOMPARE(hosts.size(), 10);
    QCOMPARE(hosts.first(), QStringLiteral("HOST5.LOCAL"));
    QCOMPARE(hosts.filter(QStringLiteral("host5.local"), Qt::CaseInsensitive).size(), 1);
    QCOMPARE(hosts.at(1), QStringLiteral("new.local"));
    QCOMPARE(hosts.last(), QStringLiteral("host2.local"));
}

void TestHostnameDialog::modelFollowsServices()
{
    MdnsTableView view;
    MdnsTableModel *model = view.mdnsModel();
    QCOMPARE(model->columnCount(), 4);

    const Mdns::Service first = MakeService(QByteArray("VrkC1 1000\0junk", 15), "m1.local.");
    Add(model, first);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(Cell(model, 0, 0), QStringLiteral("VrkC1 1000"));
    QCOMPARE(Cell(model, 0, 1), QStringLiteral("m1.local"));
    QCOMPARE(Cell(model, 0, 2), QString());
    QCOMPARE(Cell(model, 0, 3), QString());

    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    Resolve(model, first, "127.0.0.5");
    Resolve(model, first, "::1");
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.first().at(0).toModelIndex(), model->index(0, 0));
    QCOMPARE(changed.first().at(1).toModelIndex(), model->index(0, 3));
    QCOMPARE(Cell(model, 0, 2), QStringLiteral("127.0.0.5"));
    const auto record = model->index(0, 1).data(Qt::UserRole).value<MdnsTableModel::Record>();
    QCOMPARE(record.addresses.size(), 2);
    QCOMPARE(record.service.hostname(), QByteArray("m1.local."));

    // A second service with the same name gets its own row; updates,
    // addresses and removals go to the first.
    const Mdns::Service twin = MakeService(first.name(), "m2.local.");
    Add(model, twin);
    QCOMPARE(model->rowCount(), 2);
    Resolve(model, twin, "127.0.0.6");
    QCOMPARE(Cell(model, 1, 2), QString());
    QCOMPARE(model->index(0, 0).data(Qt::UserRole).value<MdnsTableModel::Record>().addresses.size(),
             3);

    Mdns::Service moved = MakeService(first.name(), "m3.local.");
    moved.addAttribute("k", "v");
    Update(model, moved);
    QCOMPARE(Cell(model, 0, 1), QStringLiteral("m3.local"));
    QCOMPARE(Cell(model, 0, 3), QStringLiteral("kv"));
    QCOMPARE(Cell(model, 0, 2), QStringLiteral("127.0.0.5"));
    QCOMPARE(Cell(model, 1, 1), QStringLiteral("m2.local"));

    Remove(model, first);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(Cell(model, 0, 1), QStringLiteral("m2.local"));

    // Reports about services that are gone are ignored.
    const Mdns::Service stranger = MakeService("other", "o.local.");
    Resolve(model, stranger, "127.0.0.7");
    Update(model, stranger);
    Remove(model, stranger);
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(!model->index(5, 0).data().isValid());
    QVERIFY(!model->index(0, 1).data(Qt::ToolTipRole).isValid());
}

void TestHostnameDialog::machineDescription()
{
    auto describe = [](QMap<QByteArray, QByteArray> attributes) {
        Mdns::Service service = MakeService("m", "m.local.");
        service.setAttributes(attributes);
        return MdnsTableModel::describe(service);
    };
    QCOMPARE(describe({{"a", "b c"}}), QStringLiteral("ab c"));
    QCOMPARE(describe({{"model", "  VRK-C1   v8 "}}), QStringLiteral("model VRK-C1 v8"));
    QCOMPARE(describe({{"flag", QByteArray()}}), QStringLiteral("flag"));
    // The first attribute in key order.
    QCOMPARE(describe({{"zz", "9"}, {"ab", "1"}}), QStringLiteral("ab1"));
    QCOMPARE(describe({{"k", QByteArray("x\0y", 3)}}), QStringLiteral("kx"));
    QCOMPARE(describe({{"k", "\xe9"}}), QStringLiteral("k\u00e9"));
    QCOMPARE(describe({}), QString());
}

void TestHostnameDialog::viewSelectsCopiesAndConnects()
{
    Target target;
    HostnameDialog dialog(&target.machine, QString());
    dialog.show();
    auto *view = dialog.findChild<MdnsTableView *>();
    auto *box = dialog.findChild<QComboBox *>(QStringLiteral("hostnameBox"));
    MdnsTableModel *model = view->mdnsModel();
    const Mdns::Service plain = MakeService("plain", "plain.local.");
    const Mdns::Service sim = MakeService("sim", "sim.local.", 1502);
    const Mdns::Service unresolved = MakeService("quiet", "quiet.local.");
    Add(model, plain);
    Add(model, sim);
    Add(model, unresolved);
    Resolve(model, plain, "127.0.0.5");
    Resolve(model, sim, "127.0.0.6");

    QSignalSpy connects(view, &MdnsTableView::machineConnect);
    view->setCurrentIndex(model->index(0, 0));
    QCOMPARE(box->currentText(), QStringLiteral("127.0.0.5"));
    // A machine on another port than Modbus's own is reached there.
    view->setCurrentIndex(model->index(1, 2));
    QCOMPARE(box->currentText(), QStringLiteral("127.0.0.6:1502"));
    // A row without an address leaves the choice alone.
    view->setCurrentIndex(model->index(2, 0));
    QCOMPARE(box->currentText(), QStringLiteral("127.0.0.6:1502"));

    view->setCurrentIndex(model->index(0, 0));
    const QList<QAction *> actions = view->actions();
    QCOMPARE(actions.size(), 3);
    actions.at(0)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("127.0.0.5"));
    actions.at(1)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("plain.local"));

    // Double-click: the dialog starts connecting to the machine at once.
    const QRect cell = view->visualRect(model->index(0, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(connects.count(), 1);
    QCOMPARE(connects.first().first().toString(), QStringLiteral("127.0.0.5"));
    QCOMPARE(target.connection.Host(), QStringLiteral("127.0.0.5"));
    QVERIFY(dialog.isBusy());
    target.connection.Disconnect();
}

void TestHostnameDialog::discoveredSimulatorConnects()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--announce"), QStringLiteral("--name"),
                       QStringLiteral("Bench grinder"), QStringLiteral("--serial"),
                       QStringLiteral("5150")}));
    Target target;
    HostnameDialog dialog(&target.machine, QString());
    dialog.show();
    auto *view = dialog.findChild<MdnsTableView *>();
    MdnsTableModel *model = view->mdnsModel();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > 0 && !Cell(model, 0, 2).isEmpty(), 10000);
    QCOMPARE(Cell(model, 0, 0), QStringLiteral("Bench grinder"));
    view->setCurrentIndex(model->index(0, 0));
    const QString chosen =
        dialog.findChild<QComboBox *>(QStringLiteral("hostnameBox"))->currentText();
    QVERIFY2(chosen.endsWith(QStringLiteral(":%1").arg(sim.port())), qPrintable(chosen));
    dialog.accept();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 5000);
    QCOMPARE(target.machine.serialNumber(), 5150u);
}

VRK6_PRIVATE_NETWORK_TEST_MAIN(TestHostnameDialog)
#include "tst_hostnamedialog.moc"
