// Real sockets against python3-zeroconf and the simulator's announcement. The
// test re-runs itself in a private network namespace (netns.sh) whose
// loopback carries multicast, so nothing it sends leaves this machine.
#include "common/privatenetwork.h"
#include "common/simprocess.h"
#include "mdns/browser.h"
#include "mdns/cache.h"
#include "mdns/server.h"
#include "testdata.h"
#include "widgets/mdnstablemodel.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Mdns;

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");
const QString Peer = QStringLiteral(VRK6_TEST_DATA "/zeroconf_peer.py");

Service serviceNamed(const QSignalSpy &spy, const QByteArray &name)
{
    for (const QList<QVariant> &args : spy)
        if (const auto service = args.at(0).value<Service>(); service.name() == name)
            return service;
    return {};
}

// Browses with a real server.
struct Browsing
{
    Server server;
    Cache cache;
    Browser browser{&server, TestData::TypeText, &cache};
    QSignalSpy added{&browser, &Browser::serviceAdded};
    QSignalSpy removed{&browser, &Browser::serviceRemoved};
};

} // namespace

class TestMdnsInterop : public QObject
{
    Q_OBJECT

private slots:
    void serverFollowsInterfaces();
    void browsesZeroconfServices();
    void simulatorAnnouncement();
};

void TestMdnsInterop::serverFollowsInterfaces()
{
    Server server;
    // A veth pair: both ends stay inside this namespace.
    QCOMPARE(QProcess::execute("sh", {"-ec", "ip link add mdns0 type veth peer name mdns1; "
                                             "ip addr add 10.77.0.1/24 dev mdns0; "
                                             "ip link set mdns0 up; ip link set mdns1 up"}),
             0);
    const int index = QNetworkInterface::interfaceIndexFromName(QStringLiteral("mdns0"));
    QVERIFY(index > 0);
    QTRY_VERIFY_WITH_TIMEOUT(server.interfaceIndexes().contains(index), 5000);
    QCOMPARE(QProcess::execute("ip", {"link", "del", "mdns0"}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!server.interfaceIndexes().contains(index), 5000);
}

void TestMdnsInterop::browsesZeroconfServices()
{
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(Python, {Peer, QStringLiteral("register")});
    QVERIFY(peer.waitForReadyRead(20000) && peer.readLine().trimmed() == "registered");
    Browsing b;
    QTRY_COMPARE_WITH_TIMEOUT(b.added.size(), 3, 5000);
    const Service two = TestData::service("Peer Two \xc5\xbe", "peer-two.local.", 1512, // UTF-8
                                          {{"model", "ZUM B1"}});
    QCOMPARE(serviceNamed(b.added, two.name()), two);
    QCOMPARE(serviceNamed(b.added, "Peer One"),
             TestData::service("Peer One", "peer-one.local.", 1511,
                               {{"VRK A1 serial 11", QByteArray()}, {"empty", ""}}));

    // python3-zeroconf sends "ZUM.B1 line 3" as two labels: the table shows one name.
    MdnsTableModel table;
    const auto row = [&table] {
        return table.match(table.index(0, MdnsTableModel::NameColumn), Qt::DisplayRole,
                           QStringLiteral("ZUM.B1 line 3"), -1, Qt::MatchExactly);
    };
    QTRY_COMPARE_WITH_TIMEOUT(row().size(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(
        row().value(0).siblingAtColumn(MdnsTableModel::AddressColumn).data().toString(),
        QStringLiteral("127.0.0.1"), 5000);
    // The machine at a new address: the row follows once the old one is stale.
    QTest::qWait(1100);
    peer.write("move dotted\n");
    QTRY_COMPARE_WITH_TIMEOUT(
        row().value(0).siblingAtColumn(MdnsTableModel::AddressColumn).data().toString(),
        QStringLiteral("127.0.0.2"), 5000);

    peer.write("unregister two\n");
    QTRY_COMPARE_WITH_TIMEOUT(b.removed.size(), 1, 5000);
    QCOMPARE(b.removed.at(0).at(0).value<Service>().name(), two.name());
    peer.closeWriteChannel();
    QVERIFY(peer.waitForFinished(10000));
}

void TestMdnsInterop::simulatorAnnouncement()
{
    Browsing b;
    QTest::qWait(300);
    SimProcess sim;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(sim.start({"--announce", "--type", "ZumB1", "--serial", "4321", "--software", "705"}));
    QTRY_VERIFY_WITH_TIMEOUT(!b.added.isEmpty(), 3000);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));

    // python3-zeroconf finds it by asking: its announcements are over.
    QProcess browse;
    browse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    browse.start(Python, {Peer, QStringLiteral("browse"), QStringLiteral("4")});
    QVERIFY(browse.waitForFinished(20000));
    QCOMPARE(browse.exitCode(), 0);
    const QList<QByteArray> lines = browse.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QCOMPARE(QJsonDocument::fromJson(lines[0]).object(),
             (QJsonObject{{"name", "ZUM-B1 4321." + QString::fromUtf8(TestData::TypeText)},
                          {"port", sim.port()},
                          {"server", "ZUM-B1-4321.local."},
                          {"addresses", QJsonArray{"127.0.0.1"}},
                          {"properties", QJsonObject{{"ZUM-B1 serial 4321 software 7.05", {}}}}}));

    // Stopping the simulator says goodbye.
    sim.stop();
    QTRY_COMPARE_WITH_TIMEOUT(b.removed.size(), 1, 5000);
}

int main(int argc, char **argv)
{
    RunInPrivateNetwork(argc, argv);
    QCoreApplication app(argc, argv);
    TestMdnsInterop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mdnsinterop.moc"
