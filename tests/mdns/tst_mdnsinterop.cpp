// The engine against an independent implementation (python3-zeroconf) and
// the simulator's announcement, on real sockets. The test re-runs itself in
// a private network namespace (netns.sh) whose loopback carries multicast, so
// nothing it sends leaves this machine.
#include "mdns/browser.h"
#include "mdns/cache.h"
#include "mdns/resolver.h"
#include "mdns/server.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <cstdio>
#include <unistd.h>

using namespace Mdns;

namespace {

const QByteArray ModbusType = "_modbus._tcp.local.";
const QString Python = QStringLiteral("/usr/bin/python3");
const QString Peer = QStringLiteral(VRK6_TEST_DATA "/zeroconf_peer.py");

Service serviceNamed(const QSignalSpy &spy, const QByteArray &name)
{
    for (const QList<QVariant> &args : spy) {
        const auto service = args.at(0).value<Service>();
        if (service.name() == name)
            return service;
    }
    return {};
}

bool waitForLine(QProcess &process, const QByteArray &line, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (process.canReadLine()) {
            if (process.readLine().trimmed() == line)
                return true;
            continue;
        }
        process.waitForReadyRead(100);
    }
    return false;
}

} // namespace

class TestMdnsInterop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void serverFiltersDatagrams();
    void serverFollowsInterfaces();
    void browsesZeroconfServices();
    void simulatorAnnouncement();
};

void TestMdnsInterop::initTestCase()
{
    // Guard: multicast must stay inside the private namespace.
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces())
        QVERIFY2(iface.type() == QNetworkInterface::Loopback, qPrintable(iface.name()));
}

void TestMdnsInterop::serverFiltersDatagrams()
{
    Server server;
    QSignalSpy received(&server, &AbstractServer::messageReceived);
    QVERIFY(!server.interfaceIndexes().isEmpty());

    QUdpSocket fromMdnsPort, fromOtherPort;
    QVERIFY(fromMdnsPort.bind(QHostAddress::AnyIPv4, AbstractServer::Port,
                              QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    QVERIFY(fromOtherPort.bind(QHostAddress::AnyIPv4, 0));
    const QHostAddress group(QStringLiteral("224.0.0.251"));
    // Sent from 127.0.0.1: a datagram from the unspecified address is not on-link.
    const QNetworkInterface loopback = QNetworkInterface::interfaceFromName(QStringLiteral("lo"));
    fromMdnsPort.setMulticastInterface(loopback);
    fromOtherPort.setMulticastInterface(loopback);

    Message valid;
    valid.id = 0x4242;
    valid.response = true;
    Record big;
    big.name = Name::fromDotted("big.local");
    big.type = TXT;
    big.ttl = 120;
    for (int i = 0; i < 34; ++i)
        big.txt.append(QByteArray(255, char('a' + i % 26)));
    valid.answers = {big};
    const QByteArray validWire = valid.toWire();
    QVERIFY(validWire.size() > 8000 && validWire.size() <= 9000);
    QByteArray tooBig = validWire + QByteArray(9001 - validWire.size(), '\0');

    const QList<QByteArray> bad = {
        QByteArray(),
        QByteArray::fromHex("0000840000010000000000000c0001"), // pointer to itself
        QByteArray::fromHex("0000840000ffff00000000"),         // ANCOUNT 65535
        QByteArray("M-SEARCH * HTTP/1.1\r\n\r\n"),
        validWire.left(validWire.size() - 3),
        tooBig,
    };
    for (const QByteArray &datagram : bad)
        QVERIFY(fromMdnsPort.writeDatagram(datagram, group, AbstractServer::Port) >= 0);
    // A response must come from port 5353.
    QVERIFY(fromOtherPort.writeDatagram(validWire, group, AbstractServer::Port) > 0);
    QVERIFY(fromMdnsPort.writeDatagram(validWire, group, AbstractServer::Port) > 0);

    QTRY_COMPARE(received.size(), 1);
    QTest::qWait(200);
    QCOMPARE(received.size(), 1);
    const auto message = received.at(0).at(0).value<Message>();
    QCOMPARE(message.id, quint16(0x4242));
    QCOMPARE(message.answers.size(), 1);
    QCOMPARE(message.answers[0].txt.size(), 34);
    QCOMPARE(message.sender, QHostAddress(QHostAddress::LocalHost));
}

void TestMdnsInterop::serverFollowsInterfaces()
{
    Server server;
    const auto ip = [](const QStringList &args) {
        return QProcess::execute(QStringLiteral("ip"), args) == 0;
    };
    // A veth pair: both ends stay inside this namespace.
    QVERIFY(ip({"link", "add", "mdns0", "type", "veth", "peer", "name", "mdns1"}));
    QVERIFY(ip({"addr", "add", "10.77.0.1/24", "dev", "mdns0"}));
    QVERIFY(ip({"link", "set", "mdns0", "up"}));
    QVERIFY(ip({"link", "set", "mdns1", "up"}));
    const int index = QNetworkInterface::interfaceIndexFromName(QStringLiteral("mdns0"));
    QVERIFY(index > 0);
    QTRY_VERIFY_WITH_TIMEOUT(server.interfaceIndexes().contains(index), 5000);
    QVERIFY(ip({"link", "del", "mdns0"}));
    QTRY_VERIFY_WITH_TIMEOUT(!server.interfaceIndexes().contains(index), 5000);
}

void TestMdnsInterop::browsesZeroconfServices()
{
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(Python, {Peer, QStringLiteral("register")});
    QVERIFY2(waitForLine(peer, "registered", 20000), "the zeroconf peer did not register");

    Server server;
    Cache cache;
    Browser browser(&server, ModbusType, &cache);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QSignalSpy removed(&browser, &Browser::serviceRemoved);
    QTRY_COMPARE_WITH_TIMEOUT(added.size(), 2, 5000);

    const Service one = serviceNamed(added, "Peer One");
    QCOMPARE(one.type(), ModbusType);
    QCOMPARE(one.hostname(), QByteArray("peer-one.local."));
    QCOMPARE(one.port(), quint16(1511));
    QCOMPARE(one.attributes().keys(), (QList<QByteArray>{"VRK A1 serial 11", "empty"}));
    QVERIFY(one.attributes().value("VRK A1 serial 11").isNull());
    QVERIFY(!one.attributes().value("empty").isNull());
    // UTF-8 in the instance name. (python3-zeroconf splits names at dots,
    // so dots inside an instance label are tested against our own peers only.)
    const Service two = serviceNamed(added, "Peer Two \xc5\xbe");
    QCOMPARE(two.hostname(), QByteArray("peer-two.local."));
    QCOMPARE(two.port(), quint16(1512));
    QCOMPARE(two.attributes().value("model"), QByteArray("ZUM B1"));

    Resolver resolver(&server, one.hostname(), &cache);
    QSignalSpy resolved(&resolver, &Resolver::resolved);
    QTRY_VERIFY_WITH_TIMEOUT(!resolved.isEmpty(), 3000);
    QCOMPARE(resolved.at(0).at(0).value<QHostAddress>(), QHostAddress(QHostAddress::LocalHost));

    QElapsedTimer timer;
    timer.start();
    peer.write("unregister two\n");
    QTRY_COMPARE_WITH_TIMEOUT(removed.size(), 1, 5000);
    qInfo("removed %lld ms after unregistering", timer.elapsed());
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(removed.at(0).at(0).value<Service>().name(), two.name());

    peer.write("quit\n");
    QVERIFY(peer.waitForFinished(10000));
}

void TestMdnsInterop::simulatorAnnouncement()
{
    Server server;
    Cache cache;
    Browser browser(&server, ModbusType, &cache);
    QSignalSpy added(&browser, &Browser::serviceAdded);
    QSignalSpy removed(&browser, &Browser::serviceRemoved);
    QTest::qWait(300);

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer timer;
    timer.start();
    sim.start(QStringLiteral(VRK6_SIM_PATH), {"--listen", "127.0.0.1", "--port", "15020", "--type",
                                              "ZumB1", "--serial", "4321", "--software", "705"});
    QTRY_VERIFY_WITH_TIMEOUT(!added.isEmpty(), 3000);
    qInfo("simulator found %lld ms after its start", timer.elapsed());
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    const auto service = added.at(0).at(0).value<Service>();
    QVERIFY2(service.name().endsWith(" 4321"), service.name().constData());
    QVERIFY2(service.hostname().endsWith("-4321.local."), service.hostname().constData());
    QCOMPARE(service.port(), quint16(15020));
    QCOMPARE(service.attributes().size(), 1);
    const QByteArray description = service.attributes().firstKey();
    QVERIFY2(description.endsWith(" serial 4321 software 7.05"), description.constData());
    QVERIFY(service.attributes().first().isNull());

    Resolver resolver(&server, service.hostname(), &cache);
    QSignalSpy resolved(&resolver, &Resolver::resolved);
    QTRY_VERIFY_WITH_TIMEOUT(!resolved.isEmpty(), 3000);
    QCOMPARE(resolved.at(0).at(0).value<QHostAddress>(), QHostAddress(QHostAddress::LocalHost));

    // A second simulator that does not announce itself.
    QProcess silent;
    silent.setProcessChannelMode(QProcess::ForwardedChannels);
    silent.start(QStringLiteral(VRK6_SIM_PATH),
                 {"--port", "15021", "--name", "Silent", "--no-announce"});
    QVERIFY(silent.waitForStarted());

    // python3-zeroconf finds the first by asking: its announcements are over.
    QProcess browse;
    browse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    browse.start(Python, {Peer, QStringLiteral("browse"), QStringLiteral("4")});
    QVERIFY(browse.waitForFinished(20000));
    QCOMPARE(browse.exitCode(), 0);
    QList<QJsonObject> found;
    for (const QByteArray &line : browse.readAllStandardOutput().split('\n')) {
        if (!line.trimmed().isEmpty())
            found.append(QJsonDocument::fromJson(line).object());
    }
    QCOMPARE(found.size(), 1);
    const QJsonObject seen = found.first();
    QCOMPARE(seen["name"].toString(), QString::fromUtf8(service.name() + "." + ModbusType));
    QCOMPARE(seen["port"].toInt(), 15020);
    QCOMPARE(seen["server"].toString(), QString::fromUtf8(service.hostname()));
    QCOMPARE(seen["addresses"].toArray().first().toString(), QStringLiteral("127.0.0.1"));
    QVERIFY(seen["properties"].toObject().contains(QString::fromLatin1(description)));
    QVERIFY(seen["properties"].toObject()[QString::fromLatin1(description)].isNull());
    QCOMPARE(added.size(), 1);

    silent.terminate();
    QVERIFY(silent.waitForFinished(5000));
    // Stopping the simulator says goodbye.
    timer.restart();
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(removed.size(), 1, 5000);
    qInfo("simulator removed %lld ms after it was stopped", timer.elapsed());
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
}

int main(int argc, char **argv)
{
    // First run: start again inside the private namespace.
    if (!qEnvironmentVariableIsSet("VRK6_MDNS_NETNS")) {
        qputenv("VRK6_MDNS_NETNS", "1");
        std::vector<char *> args{const_cast<char *>("/bin/sh"),
                                 const_cast<char *>(VRK6_TEST_DATA "/netns.sh"), argv[0]};
        for (int i = 1; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execv("/bin/sh", args.data());
        std::perror("exec netns.sh");
        return 1;
    }
    QCoreApplication app(argc, argv);
    TestMdnsInterop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mdnsinterop.moc"
