// The communication layer without a peer: the connection base, the offline
// connection, what ModbusConnection decides alone, and the request arithmetic.
#include "acpu/connection.h"
#include "acpu/hostport.h"
#include "acpu/modbusconnection.h"
#include "acpu/offlineconnection.h"
#include "acpu/panelmap.h"
#include "acpu/request.h"
#include "acpu/varrange.h"

#include <QSignalSpy>
#include <QTest>

using namespace Acpu;

namespace {
// The connection base under test, its transport reduced to flags the test sets.
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
    bool Open() override { return ++opens > 0; }
    void Close() override { ++closes; }
    void Refresh() override
    {
        ++refreshes;
        if (refreshSucceeds)
            emit pollingFinished();
    }

    void setState(ConnectionState s) { SetState(s); }
    void setError(int code, const QString &text) { SetError(code, text); }
    QSignalSpy stalled{this, &Connection::pollingStalled};
    // Runs n poll ticks; the stalls so far.
    int tick(int n = 1)
    {
        while (n--)
            QMetaObject::invokeMethod(this, "OnPollTimeout", Qt::DirectConnection);
        return int(stalled.size());
    }
};
} // namespace

class TestAcpu : public QObject
{
    Q_OBJECT
private slots:
    // Stalls count ticks since the last successful refresh: busy ticks, and
    // idle ticks whose refresh failed in between (time-out = interval).
    void stallsFromTheThirdTickWithoutSuccess()
    {
        for (const bool busy : {true, false}) {
            TickProbe c;
            c.setState(Connection::Connected);
            c.busy = busy;
            QCOMPARE(c.tick(2), 0);
            QCOMPARE(c.tick(), 1);
            QCOMPARE(c.tick(), 2);
            QCOMPARE(c.refreshes, busy ? 0 : 4);
            c.busy = false;
            c.refreshSucceeds = true;
            QCOMPARE(c.tick(), 3); // stalls once more: the refresh it starts succeeds only now
            c.refreshSucceeds = false;
            c.busy = busy;
            QCOMPARE(c.tick(2), 3); // the count started again
        }
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

    // A tick while not connected stalls; only a disconnected, polling
    // connection reconnects. Then errors, and writes sorted into ranges.
    void notConnectedTicksErrorsAndWrites()
    {
        TickProbe c;
        c.setState(Connection::Connecting);
        QCOMPARE(c.tick(), 1);
        QCOMPARE(c.opens, 0);

        c.setState(Connection::Disconnected);
        c.StartPolling();
        QCOMPARE(c.tick(), 2);
        QVERIFY(c.closes == 1 && c.opens == 1);
        c.StopPolling();
        c.StartPolling();
        c.StopPolling();
        QCOMPARE(c.tick(), 2);
        QCOMPARE(c.opens, 1);

        QSignalSpy errors(&c, &Connection::errorOccurred);
        c.setError(5, QStringLiteral("lost"));
        c.setError(5, QStringLiteral("lost"));
        QCOMPARE(errors.size(), 2);
        QCOMPARE(c.ErrorCode(), 5);
        QCOMPARE(c.ErrorString(), QStringLiteral("lost"));

        (void)c.WriteValues({{12, 3.0f}, {10, 1.0f}, {11, 2.0f}, {20, 4.0f}});
        QCOMPARE(c.writtenRanges.size(), 1);
        QCOMPARE(c.writtenRanges.first(), (VarRanges{{10, 3}, {20, 1}}));
        QCOMPARE(c.writtenValues.first(), (QList<Value>{1.0f, 2.0f, 3.0f, 4.0f}));
        (void)c.WriteInt(7, -1);
        QCOMPARE(c.writtenRanges.last(), (VarRanges{{7, 1}}));
        QCOMPARE(c.writtenValues.last(), QList<Value>{-1}); // an int, not a float
    }

    void hostStrings()
    {
        // Text, host, port, host as a URL writes it.
        const std::tuple<QString, QString, int, QString> valid[] = {
            {"10.0.0.5", "10.0.0.5", 502, "10.0.0.5"},
            {"  10.0.0.5:1502 ", "10.0.0.5", 1502, "10.0.0.5"},
            {"fe80::1", "fe80::1", 502, "[fe80::1]"},
            {"[::1]", "::1", 502, "[::1]"},
            {"[fe80::1]:1502", "fe80::1", 1502, "[fe80::1]"}};
        for (const auto &[text, host, port, urlHost] : valid) {
            const auto parsed = ParseHostPort(text, 502);
            QVERIFY2(parsed, qPrintable(text));
            QCOMPARE(std::tuple(parsed->host, int(parsed->port), parsed->urlHost()),
                     std::tuple(host, port, urlHost));
        }
        for (const char *bad :
             {"", "h:0", "h:70000", "h:abc", ":502", "[::1", "[::1]x", "[10.0.0.1]"})
            QVERIFY2(!ParseHostPort(QString::fromLatin1(bad), 502), bad);
    }

    void displayBytes()
    {
        const std::pair<int, char16_t> known[] = {{0x41, u'A'},   {0x20, u' '},   {0x7D, u'}'},
                                                  {0xB1, 0xFF71}, {0xA1, 0xFF61}, {0xDF, 0xFF9F},
                                                  {0x00, u' '},   {0x1F, u' '},   {0x80, u' '},
                                                  {0xA0, u' '},   {0xE0, u' '},   {0xFF, u' '}};
        for (const auto &[byte, shown] : known)
            QCOMPARE(PanelMap::DecodeByte(quint8(byte)), QChar(shown));
        // Tilde and DEL are shown as other signs; every byte the display can
        // show (these two as well) survives the way back.
        QVERIFY(PanelMap::DecodeByte(0x7E).unicode() > 0x7F &&
                PanelMap::DecodeByte(0x7F).unicode() > 0x7F);
        for (int b = 0; b < 256; ++b) {
            const QChar c = PanelMap::DecodeByte(quint8(b));
            if (c != QChar(u' '))
                QCOMPARE(int(PanelMap::EncodeChar(c)), b);
        }
    }

    // Connections without a peer: a closed one refuses; an offline request
    // deleted before its turn is never touched again (ASan: use after free).
    void withoutPeer()
    {
        OfflineConnection offline;
        delete *offline.Read({{1, 1}});
        QTest::qWait(20);
        ModbusConnection c;
        QCOMPARE(c.Read({{0, 1}}).error(), Connection::NotConnected);
        QCOMPARE(c.WriteInt(0, 1).error(), Connection::NotConnected);
        QVERIFY(!c.IsBusy());
        c.SendKey(0x0D); // ignored, no crash
        c.Close();
        c.Close(); // twice is safe, and leaves no client to ask
        QCOMPARE(c.Read({{0, 1}}).error(), Connection::NotConnected);
    }

    void normalize()
    {
        const std::pair<VarRanges, VarRanges> cases[] = {
            {{}, {}},
            // 0-1 and 3 keep their gap of one; 3, 4-5 and 6 touch.
            {{{4, 2}, {6, 1}, {3, 1}, {0, 2}}, {{0, 2}, {3, 4}}},
            {{{10, 5}, {12, 1}}, {{10, 5}}}, // contained
            {{{0, 4}, {2, 6}}, {{0, 8}}}};   // an overlap extends
        for (const auto &[input, expected] : cases)
            QCOMPARE(NormalizeRanges(input), expected);
    }

    // Each chunk carries the values that belong to it, also across ranges.
    void chunks()
    {
        const std::tuple<VarRanges, qint64, QList<VarRange>> cases[] = {
            {{{0, 130}}, 60, {{0, 60}, {60, 60}, {120, 10}}},
            {{{100, 61}, {300, 64}}, 60, {{100, 60}, {160, 1}, {300, 60}, {360, 4}}},
            // The upload window: ranges are taken as given, not merged, each
            // chunked on its own.
            {{{513, 1}, {515, 60}, {515, 2}}, 60, {{513, 1}, {515, 60}, {515, 2}}},
            {{{0, 1000}, {5000, 3}}, -1, {{0, 1000}, {5000, 3}}}, // unlimited
            {{{10, 0}, {20, 2}}, 60, {{20, 2}}}};                 // an empty range skipped
        for (const auto &[ranges, maximum, expected] : cases) {
            QList<Value> values;
            for (const VarRange &r : ranges)
                for (qint64 i = 0; i < r.length; ++i)
                    values.append(Value{int(values.size())});
            Request request(ranges, maximum, std::move(values));
            QList<VarRange> chunks;
            int sent = 0;
            for (auto [chunk, chunkValues] = request.NextChunkWithValues(); !chunk.isEmpty();
                 std::tie(chunk, chunkValues) = request.NextChunkWithValues()) {
                QCOMPARE(request.CurrentChunk(), chunk);
                QCOMPARE(chunkValues.size(), chunk.length);
                QCOMPARE(std::get<int>(chunkValues.first()), sent);
                sent += int(chunk.length);
                chunks.append(chunk);
            }
            QCOMPARE(chunks, expected);
            QVERIFY(request.NextChunk().isEmpty());
        }
    }

    void finishingDeletesOnlyWithAutoDelete()
    {
        for (const bool autoDelete : {false, true}) {
            QPointer<Request> request = new Request({{0, 1}}, 60);
            if (!autoDelete)
                request->SetAutoDelete(false); // the default deletes
            QSignalSpy finished(request.data(), &Request::finished);
            request->SetFinished(true);
            QVERIFY(finished.size() == 1 && request->IsFinished());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(request.isNull(), autoDelete);
            delete request;
        }
    }
};

QTEST_GUILESS_MAIN(TestAcpu)
#include "tst_acpu.moc"
