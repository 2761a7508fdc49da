// End to end: WsConnection -> vrk6-relay -> vrk6-sim, all over real sockets.
#include "acpu/panelmap.h"
#include "acpu/wsconnection.h"
#include "connectto.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Acpu;
using namespace Qt::StringLiterals;

class TestWsRelay : public QObject
{
    Q_OBJECT
    SimProcess sim;
    QProcess relay;
    quint16 relayPort = SimProcess::freePort();

    // Another test's server may take the port after freePort(): the relay
    // then ends at once, and a first start tries another port.
    bool startRelay(int attempts = 1)
    {
        const auto listening = [this] { return relay.peek(4096).contains("listening on"); };
        for (int i = 0; i < attempts; ++i) {
            if (i > 0)
                relayPort = SimProcess::freePort();
            relay.start(QStringLiteral(VRK6_RELAY_PATH), {u"--port"_s, QString::number(relayPort)});
            if (QTest::qWaitFor(
                    [&] { return listening() || relay.state() == QProcess::NotRunning; }, 10000) &&
                listening())
                return true;
        }
        return false;
    }

private slots:
    // Keys echo on the panel; a restarted relay is connected again and serves
    // the panel and reads.
    void panelThroughARestartedRelay()
    {
        relay.setReadChannel(QProcess::StandardError);
        QVERIFY(sim.start({u"--serial"_s, u"4242"_s}));
        QVERIFY(startRelay(3));
        WsConnection c;
        c.SetServicePort(relayPort);
        // Requests are sent at once, while the relay may still be connecting to the machine.
        QVERIFY(ConnectTo(c, sim.host()));
        Acpu::Display display;
        QSignalSpy polled(&c, &Connection::pollingFinished);
        connect(&c, &Connection::pollingFinished, &display, [&] { c.GetDisplay(display); });
        const int keysBefore = sim.keyCount();
        c.StartPolling();
        QTRY_VERIFY_WITH_TIMEOUT(display.line1().contains(u"4242"_s), 10000);
        const auto lamps = [&display] {
            return QList<bool>{display.runLed(), display.errorLed(), display.mode1Led(),
                               display.mode2Led()};
        };
        // F1 toggles the Run lamp, F2 lights step by step, F4 the Error lamp:
        // the two lamp patterns tell any two lamps apart.
        for (int key : {int('R'), int('4'), int('2'), 0x81, 0x82})
            c.SendKey(key);
        QTRY_VERIFY_WITH_TIMEOUT(display.line2().contains(u"R42"_s), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(lamps(), (QList<bool>{true, false, true, false}), 10000);
        QVERIFY(display.line3().startsWith(u"Key 82 count"_s));
        QVERIFY(display.line4().startsWith(u"Mode: step by step"_s));
        QCOMPARE(sim.keyCount() - keysBefore, 5);
        c.SendKey(0x81);
        c.SendKey(0x84);
        QTRY_COMPARE_WITH_TIMEOUT(lamps(), (QList<bool>{false, true, true, false}), 10000);

        relay.kill();
        QVERIFY(relay.waitForFinished(5000));
        QTRY_COMPARE(c.State(), Connection::Disconnected);
        QCOMPARE(c.Read({{0, 1}}).error(), Connection::NotConnected);
        QTest::qWait(500); // a few reconnect attempts against nothing
        QVERIFY(startRelay());
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 10000);
        polled.clear();
        QVERIFY(polled.wait(5000));
        QCOMPARE(RunToEnd(c.Read({{PanelMap::IdentFirst, 1}})), QString());
    }
};

QTEST_GUILESS_MAIN(TestWsRelay)
#include "tst_wsrelay.moc"
