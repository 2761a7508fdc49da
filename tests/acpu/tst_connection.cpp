// The connection base (poll tick, stall counting, state and error signals,
// WriteValues) and the offline connection.
#include "acpu/connection.h"
#include "acpu/offlineconnection.h"

#include <QSignalSpy>
#include <QTest>

using namespace Acpu;

namespace {
// The smallest concrete connection: the base's own logic under test, with
// the transport reduced to flags the test sets.
class TickProbe : public Connection
{
public:
    bool busy = false;
    bool refreshSucceeds = false;
    int refreshes = 0, opens = 0, closes = 0;
    QList<VarRanges> writtenRanges;
    QList<QList<Value>> writtenValues;

    int ReadInt(int) override { return 0; }
    float ReadFloat(int) override { return 0; }
    Result Read(const VarRanges &) override { return std::unexpected(NotConnected); }
    Result Write(const VarRanges &ranges, const QList<Value> &values) override
    {
        writtenRanges.append(ranges);
        writtenValues.append(values);
        return std::unexpected(NotConnected);
    }
    void GetDisplay(Acpu::Display &) override {}
    void SendKey(int) override {}
    bool IsBusy() override { return busy; }
    bool Open() override
    {
        ++opens;
        return true;
    }
    void Close() override { ++closes; }
    void Refresh() override
    {
        ++refreshes;
        if (refreshSucceeds)
            emit pollingFinished();
    }

    void setState(ConnectionState s) { SetState(s); }
    void setError(int code, const QString &text) { SetError(code, text); }
    void tick() { QMetaObject::invokeMethod(this, "OnPollTimeout", Qt::DirectConnection); }
};
} // namespace

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    // Stalls count ticks since the last successful refresh: busy ticks, and
    // idle ticks whose refresh failed in between (time-out = interval).
    void stallsFromTheThirdTickWithoutSuccess_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("busy") << true;
        QTest::newRow("refreshes fail") << false;
    }
    void stallsFromTheThirdTickWithoutSuccess()
    {
        QFETCH(bool, busy);
        TickProbe c;
        c.setState(Connection::Connected);
        QSignalSpy stalled(&c, &Connection::pollingStalled);
        c.busy = busy;
        c.tick();
        c.tick();
        QCOMPARE(stalled.size(), 0);
        c.tick();
        QCOMPARE(stalled.size(), 1);
        c.tick();
        QCOMPARE(stalled.size(), 2);
        QCOMPARE(c.refreshes, busy ? 0 : 4);
        c.busy = false;
        c.refreshSucceeds = true;
        c.tick(); // stalls once more: the refresh it starts succeeds only now
        QCOMPARE(stalled.size(), 3);
        c.refreshSucceeds = false;
        c.busy = busy;
        c.tick();
        c.tick();
        QCOMPARE(stalled.size(), 3); // the count started again
    }

    // Attempts at 0, 0.2, 0.6, 1.4 and 3 s: the delay doubles from 200 ms.
    void reconnectsBackOff()
    {
        TickProbe c;
        c.StartPolling();
        QTest::qWait(2600);
        QVERIFY2(c.opens >= 3 && c.opens <= 4, qPrintable(QString::number(c.opens)));
        // A successful refresh makes the next loss start again with 200 ms.
        c.setState(Connection::Connected);
        c.refreshSucceeds = true;
        QTRY_VERIFY(c.refreshes > 0);
        c.setState(Connection::Disconnected);
        const int before = c.opens;
        QTest::qWait(700);
        QVERIFY2(c.opens - before >= 2, qPrintable(QString::number(c.opens - before)));
    }

    void disconnectedTickReconnectsOnlyWhilePolling()
    {
        TickProbe c;
        QSignalSpy stalled(&c, &Connection::pollingStalled);
        c.StartPolling();
        c.tick();
        QCOMPARE(c.closes, 1);
        QCOMPARE(c.opens, 1);
        QCOMPARE(stalled.size(), 1);

        c.StopPolling();
        c.StartPolling();
        c.StopPolling();
        QVERIFY(!c.IsPolling());
        c.tick();
        QCOMPARE(c.opens, 1);
        QCOMPARE(stalled.size(), 1);
    }

    void connectingTickStalls()
    {
        TickProbe c;
        c.setState(Connection::Connecting);
        QSignalSpy stalled(&c, &Connection::pollingStalled);
        c.tick();
        QCOMPARE(stalled.size(), 1);
        QCOMPARE(c.opens, 0);
    }

    void stateAndErrorSignals()
    {
        TickProbe c;
        QSignalSpy states(&c, &Connection::stateChanged);
        QSignalSpy errors(&c, &Connection::errorOccurred);
        c.setState(Connection::Disconnected); // the initial state
        QCOMPARE(states.size(), 0);
        c.setState(Connection::Connected);
        c.setState(Connection::Connected);
        QCOMPARE(states.size(), 1);
        c.setError(5, QStringLiteral("lost"));
        c.setError(5, QStringLiteral("lost"));
        QCOMPARE(errors.size(), 2);
        QCOMPARE(c.ErrorCode(), 5);
        QCOMPARE(c.ErrorString(), QStringLiteral("lost"));
    }

    void writeValuesSortsAndMerges()
    {
        TickProbe c;
        (void)c.WriteValues({{12, 3.0f}, {10, 1.0f}, {11, 2.0f}, {20, 4.0f}});
        QCOMPARE(c.writtenRanges.size(), 1);
        QCOMPARE(c.writtenRanges.first(), (VarRanges{{10, 3}, {20, 1}}));
        QList<float> values;
        for (const Value &v : c.writtenValues.first())
            values.append(std::get<float>(v));
        QCOMPARE(values, (QList<float>{1.0f, 2.0f, 3.0f, 4.0f}));

        (void)c.WriteInt(7, -1);
        QCOMPARE(c.writtenRanges.last(), (VarRanges{{7, 1}}));
        QVERIFY(std::holds_alternative<int>(c.writtenValues.last().first()));
    }

    void offlineVariables()
    {
        OfflineConnection c; // closed: it never answers NotConnected
        QSignalSpy written(*c.WriteFloat(5, 1.5f), &Request::finished);
        Request *read = *c.Read({{4, 3}});
        QSignalSpy finished(read, &Request::finished);
        QCOMPARE(finished.size(), 0); // never inside Read
        QVERIFY(finished.wait(1000));
        QCOMPARE(written.size(), 1);
        QCOMPARE(c.ReadInt(4), 0);
        QCOMPARE(c.ReadFloat(5), 1.5f); // the read did not overwrite the write
        QCOMPARE(c.ReadInt(5), 0x3FC00000);

        // A request deleted before its turn never finishes.
        Request *dropped = *c.Read({{1, 1}});
        bool fired = false;
        connect(dropped, &Request::finished, this, [&fired] { fired = true; });
        delete dropped;
        QTest::qWait(20);
        QVERIFY(!fired);
    }

    void offlinePanelEchoesKeys()
    {
        OfflineConnection c;
        QSignalSpy states(&c, &Connection::stateChanged);
        QVERIFY(c.Open());
        QCOMPARE(c.State(), Connection::Connected);
        Acpu::Display d;
        c.GetDisplay(d);
        QCOMPARE(d.line2(), QStringLiteral("    Offline mode    "));
        QVERIFY(d.runLed() && d.mode1Led() && !d.errorLed() && !d.mode2Led());

        QSignalSpy line1(&d, &Acpu::Display::line1Changed);
        QSignalSpy line3(&d, &Acpu::Display::line3Changed);
        c.SendKey(0x81);
        c.GetDisplay(d);
        QCOMPARE(d.line3(), QStringLiteral(" Last sent key = 81 "));
        c.SendKey(27);
        c.GetDisplay(d);
        QCOMPARE(d.line3(), QStringLiteral(" Last sent key = 1b "));
        QCOMPARE(d.line3().size(), 20);
        QCOMPARE(line3.size(), 2);
        QCOMPARE(line1.size(), 0); // Assign emits only what changed

        QSignalSpy polled(&c, &Connection::pollingFinished);
        c.Refresh();
        QCOMPARE(polled.size(), 1);
        c.Close();
        QCOMPARE(c.State(), Connection::Disconnected);
        QCOMPARE(states.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
