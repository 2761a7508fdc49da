// End to end: WsConnection -> vrk6-relay -> vrk6-sim, all over real sockets.
#include "acpu/modbusconnection.h"
#include "acpu/panelmap.h"
#include "acpu/wsconnection.h"
#include "simprocess.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Acpu;

namespace {
// Runs vrk6-relay on a given loopback port.
class RelayProcess
{
public:
    ~RelayProcess() { stop(); }
    bool start(quint16 port)
    {
        output.clear();
        process.start(QStringLiteral(VRK6_RELAY_PATH),
                      {QStringLiteral("--port"), QString::number(port)});
        if (!process.waitForStarted(5000))
            return false;
        return QTest::qWaitFor([this] { return log().contains(QStringLiteral("listening on")); },
                               10000);
    }
    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
    QString log()
    {
        output += process.readAllStandardError();
        return QString::fromUtf8(output);
    }

private:
    QProcess process;
    QByteArray output;
};

// Runs a request to its end; returns its error text (empty on success).
QString finish(Connection::Result result)
{
    if (!result)
        return QStringLiteral("not connected");
    Request *request = *result;
    request->SetAutoDelete(false);
    QSignalSpy finished(request, &Request::finished);
    if (!finished.wait(30000))
        return QStringLiteral("request never finished");
    const QString error = request->ErrorString();
    delete request;
    return error;
}

bool waitConnected(Connection &c)
{
    return QTest::qWaitFor([&c] { return c.State() == Connection::Connected; }, 10000);
}
} // namespace

class TestWsRelay : public QObject
{
    Q_OBJECT
    SimProcess sim;
    RelayProcess relay;
    quint16 relayPort = 0;

    bool connectTo(WsConnection &c, const QString &host)
    {
        c.SetServicePort(relayPort);
        c.SetHost(host);
        return waitConnected(c);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(sim.start({QStringLiteral("--serial"), QStringLiteral("4242"),
                           QStringLiteral("--model-version"), QStringLiteral("7"),
                           QStringLiteral("--exception-range"), QStringLiteral("20000:10")}));
        relayPort = SimProcess::freePort();
        QVERIFY(relay.start(relayPort));
    }

    void identification()
    {
        WsConnection c;
        QVERIFY(connectTo(c, sim.host()));
        // Sent at once, while the relay may still be connecting to the machine.
        QCOMPARE(finish(c.Read({{PanelMap::IdentFirst, PanelMap::IdentLength}})), QString());
        QCOMPARE(c.ReadInt(265), 4242);
        QCOMPARE(c.ReadInt(268), 7);
    }

    void bulkWriteAndRead()
    {
        WsConnection c;
        QVERIFY(connectTo(c, sim.host()));
        // The teeth block: 5760 variables, 96 transactions each way.
        constexpr int first = 8192, count = 5760;
        QList<Value> values;
        for (int i = 0; i < count; ++i)
            values.append(i % 2 ? Value{float(i) * 0.25f} : Value{-i});
        QCOMPARE(finish(c.Write({{first, count}}, values)), QString());
        QCOMPARE(finish(c.Read({{first, count}})), QString());
        for (int i = 0; i < count; ++i)
            QCOMPARE(quint32(c.ReadInt(first + i)), ValueBits(values.at(i)));

        // What the simulator holds, read over Modbus without the relay.
        ModbusConnection direct;
        direct.SetHost(sim.host());
        QVERIFY(waitConnected(direct));
        QCOMPARE(finish(direct.Read({{first, 60}, {first + count - 60, 60}})), QString());
        QCOMPARE(direct.ReadInt(first + 2), -2);
        QCOMPARE(direct.ReadFloat(first + count - 1), float(count - 1) * 0.25f);
    }

    void keysEchoOnThePanel()
    {
        WsConnection c;
        QVERIFY(connectTo(c, sim.host()));
        Acpu::Display display;
        connect(&c, &Connection::pollingFinished, &display, [&] { c.GetDisplay(display); });
        const int keysBefore = sim.keyCount();
        c.StartPolling();
        QVERIFY(QTest::qWaitFor([&] { return display.line1().contains(QStringLiteral("4242")); },
                                10000));
        for (char key : {'R', '4', '2'})
            c.SendKey(key);
        c.SendKey(0x81); // F1: the Run lamp
        QVERIFY(QTest::qWaitFor([&] { return display.line2().contains(QStringLiteral("R42")); },
                                10000));
        QVERIFY(QTest::qWaitFor([&] { return display.runLed(); }, 10000));
        QCOMPARE(sim.keyCount() - keysBefore, 4);
        c.SendKey(0x81);
        QVERIFY(QTest::qWaitFor([&] { return !display.runLed(); }, 10000));
    }

    void failedMachineReadFailsTheRequest()
    {
        WsConnection c;
        QVERIFY(connectTo(c, sim.host()));
        // The simulator answers this range with an exception: the relay must
        // not report it done, and the request must not wait forever.
        QVERIFY(!finish(c.Read({{20000, 4}})).isEmpty());
        QVERIFY(relay.log().contains(QStringLiteral("machine request failed")));
        c.StartPolling();
        QVERIFY(waitConnected(c));
        QCOMPARE(finish(c.Read({{20010, 4}})), QString());
    }

    void unreachableMachine()
    {
        WsConnection c;
        QSignalSpy states(&c, &Connection::stateChanged);
        c.SetServicePort(relayPort);
        c.SetHost(QStringLiteral("127.0.0.1:%1").arg(SimProcess::freePort()));
        // The relay accepts the socket, then closes it once the machine refuses.
        const auto seen = [&states](Connection::ConnectionState state) {
            for (const auto &args : states) {
                if (args.at(0).value<Connection::ConnectionState>() == state)
                    return true;
            }
            return false;
        };
        QVERIFY(QTest::qWaitFor([&] { return seen(Connection::Connected); }, 10000));
        QVERIFY(QTest::qWaitFor([&] { return c.State() == Connection::Disconnected; }, 10000));
        QVERIFY(relay.log().contains(QStringLiteral("machine unreachable")));
    }

    void restartedRelayIsReconnected()
    {
        WsConnection c;
        QVERIFY(connectTo(c, sim.host()));
        QSignalSpy polled(&c, &Connection::pollingFinished);
        c.StartPolling();
        QVERIFY(polled.wait(5000));

        relay.stop();
        QVERIFY(QTest::qWaitFor([&] { return c.State() == Connection::Disconnected; }, 5000));
        QCOMPARE(c.Read({{0, 1}}).error(), Connection::NotConnected);
        QTest::qWait(500); // a few reconnect attempts against nothing
        QVERIFY(relay.start(relayPort));
        QVERIFY(waitConnected(c));
        polled.clear();
        QVERIFY(polled.wait(5000));
        QCOMPARE(finish(c.Read({{PanelMap::IdentFirst, 1}})), QString());
    }
};

QTEST_GUILESS_MAIN(TestWsRelay)
#include "tst_wsrelay.moc"
