// Cache, browser, resolver and provider on a transport the test drives and a
// clock it moves.
#include "mdns/browser.h"
#include "mdns/cache.h"
#include "mdns/provider.h"
#include "mdns/resolver.h"
#include "mdns/server.h"
#include "testdata.h"

#include <QElapsedTimer>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTest>

using namespace Mdns;
using namespace TestData;

// A transport without a network: the test hands it datagrams as if they came
// from the link, and it keeps what was sent, with the clock time.
class TestServer : public AbstractServer
{
public:
    struct Sent
    {
        Message message;
        qint64 time;
        QHostAddress address; // null: to the multicast groups
        quint16 port;
    };

    explicit TestServer(Clock *clock) : m_clock(clock) {}

    void sendMessage(const Message &m, const QHostAddress &address, quint16 port) override
    {
        // Through the codec, as the network would carry it.
        sent.append({Message::fromWire(m.toWire()).value(), m_clock->now(), address, port});
    }
    void sendMessageToAll(const Message &m) override { sendMessage(m, {}, Port); }
    void inject(const Message &m, quint16 port = Port)
    {
        processDatagram(m.toWire(), QHostAddress(QStringLiteral("192.0.2.1")), port, 1);
    }

    QList<Sent> queriesFor(const Name &name, quint16 type) const
    {
        QList<Sent> found;
        for (const Sent &s : sent)
            if (std::ranges::any_of(s.message.questions, [&](const auto &q) {
                    return q.name == name && q.type == type;
                }))
                found.append(s);
        return found;
    }

    QList<Sent> sent;

private:
    Clock *m_clock;
};

namespace {

// Everything one instance needs, as a responder sends it.
Message fullResponse(quint16 port = 1502)
{
    return response({ptr()}, {srv(port), txt({"VrkC1 serial 1000"}), address("192.0.2.7")});
}

struct Env
{
    Clock clock{Clock::Manual};
    TestServer server{&clock};
    Cache cache{&clock};
    Browser browser{&server, TypeText, &cache};
    QSignalSpy added{&browser, &Browser::serviceAdded};
    QSignalSpy updated{&browser, &Browser::serviceUpdated};
    QSignalSpy removed{&browser, &Browser::serviceRemoved};
};

Service serviceAt(const QSignalSpy &spy, int i)
{
    return spy.at(i).at(0).value<Service>();
}

Message query(const Name &name, quint16 type, const QList<Record> &known = {})
{
    Message m;
    m.questions = {Question{name, type, ClassIn, false}};
    m.answers = known;
    return m;
}

// Whether records hold everything the provider below announces, each with
// its cache-flush bit and its TTL (or the given one).
bool holdsAll(const QList<Record> &records, std::optional<quint32> ttl = {})
{
    const QList<Record> announced{ptr(), srv(1502), txt({"VrkC1 serial 1000"}),
                                  address("192.0.2.7"), address("2001:db8::7")};
    return std::all_of(announced.begin(), announced.end(), [&](const Record &a) {
        return std::any_of(records.begin(), records.end(), [&](const Record &r) {
            return r.sameRecord(a) && r.cacheFlush == a.cacheFlush && r.ttl == ttl.value_or(a.ttl);
        });
    });
}

} // namespace

class TestMdnsBrowser : public QObject
{
    Q_OBJECT

private slots:
    void addUpdateGoodbye();
    void resolverUsesAdditionalRecords();
    void querySchedule();
    void cacheFlush();
    void onLinkSources();
    void floodIsBounded();
    void announceAnswerGoodbye();
};

void TestMdnsBrowser::addUpdateGoodbye()
{
    Env e;
    // Ignored: a query carrying the records (our own would look like this),
    // another opcode, an error code, goodbyes for an instance never seen,
    // another type, a response not from port 5353.
    Message query = fullResponse(), opcode = fullResponse(), rcode = fullResponse();
    query.response = false;
    opcode.opcode = 5;
    rcode.rcode = 3;
    Record other = ptr();
    other.name = Name::fromDotted("_http._tcp.local");
    for (const Message &m : {query, opcode, rcode,
                             response({ptr(0)}, {srv(1502, 0), txt({"a"}, 0)}), response({other})})
        e.server.inject(m);
    e.server.inject(fullResponse(), 40000);
    QTest::qWait(20);
    QCOMPARE(e.added.size(), 0);
    QVERIFY(e.cache.lookupRecords(ModbusType, PTR).isEmpty());
    QVERIFY(e.cache.lookupRecords(Instance, ANY).isEmpty());
    QVERIFY(e.cache.lookupRecords(other.name, PTR).isEmpty());

    // None of it keeps the service from being added. A PTR alone: the browser
    // asks for SRV and TXT, and needs both (RFC 6763 section 6).
    e.server.inject(response({ptr()}));
    QTRY_COMPARE(e.server.queriesFor(Instance, SRV).size(), 1);
    QCOMPARE(e.server.queriesFor(Instance, TXT).size(), 1);
    e.server.inject(response({srv(1502)}));
    QTest::qWait(10);
    QCOMPARE(e.added.size(), 0);
    e.server.inject(fullResponse());
    QTRY_COMPARE(e.added.size(), 1);
    QCOMPARE(serviceAt(e.added, 0),
             service(InstanceLabel, "m1.local.", 1502, {{"VrkC1 serial 1000", QByteArray()}}));

    // The same records again change nothing. A new SRV (cache-flush) replaces
    // the old: one update, and the old one leaving a second later adds none.
    e.clock.advance(3000);
    e.server.inject(fullResponse());
    e.clock.advance(1500);
    e.server.inject(response({srv(1503)}));
    QTRY_COMPARE(e.updated.size(), 1);
    QCOMPARE(serviceAt(e.updated, 0).port(), quint16(1503));
    e.clock.advance(3500);
    e.server.inject(response({txt({"VrkC1 serial 1001"})}));
    QTRY_COMPARE(e.updated.size(), 2);
    QCOMPARE(serviceAt(e.updated, 1).attributes().firstKey(), QByteArray("VrkC1 serial 1001"));
    QCOMPARE(e.added.size(), 1);

    // Goodbye: gone one second later, not at once.
    e.server.inject(response({ptr(0)}));
    e.clock.advance(900);
    QTest::qWait(10);
    QCOMPARE(e.removed.size(), 0);
    e.clock.advance(200);
    QTRY_COMPARE(e.removed.size(), 1);
    QCOMPARE(serviceAt(e.removed, 0).name(), InstanceLabel);
    QVERIFY(e.browser.services().isEmpty());
    QCOMPARE(e.updated.size(), 2);
}

void TestMdnsBrowser::resolverUsesAdditionalRecords()
{
    Env e;
    e.server.inject(
        response({ptr()}, {srv(1502), txt({"a"}), address("192.0.2.7"), address("2001:db8::7")}));
    QTRY_COMPARE(e.added.size(), 1);
    // What came along is not asked for; the addresses come from the cache.
    Resolver resolver(&e.server, "m1.local.", &e.cache);
    QSignalSpy resolved(&resolver, &Resolver::resolved);
    QTRY_COMPARE(resolved.size(), 2);
    QCOMPARE(e.server.sent.size(), 0);
    const QList<QHostAddress> got{resolved[0][0].value<QHostAddress>(),
                                  resolved[1][0].value<QHostAddress>()};
    QVERIFY(got.contains(QHostAddress("192.0.2.7")) && got.contains(QHostAddress("2001:db8::7")));

    // Then it asks for A and AAAA itself, and reports a new address once; a
    // link-local one with the interface it came in on, or none could reach it.
    e.clock.advance(150);
    QCOMPARE(e.server.queriesFor(Host, A).size(), 1);
    QCOMPARE(e.server.queriesFor(Host, AAAA).size(), 1);
    e.server.inject(response({address("fe80::8")}));
    e.server.inject(response({address("fe80::8")}));
    QTRY_COMPARE(resolved.size(), 3);
    QTest::qWait(10);
    QCOMPARE(resolved.size(), 3);
    QCOMPARE(resolved[2][0].value<QHostAddress>().toString(),
             "fe80::8%" + QNetworkInterface::interfaceNameFromIndex(1));
}

void TestMdnsBrowser::querySchedule()
{
    // Queries at 20 to 120 ms, then 1, 2, 4 s ... apart up to an hour, QM only.
    // A PTR with 100 s to live: listed in them while more than 50 s remain
    // (at about 0.1, 1.1, 3.1, 7.1, 15.1 and 31.1 s), refreshed by queries of
    // their own at 80, 85, 90 and 95 % of its TTL (each up to 2 % late), gone
    // at 100 s.
    Env e;
    e.server.inject(response({ptr(100)}, {srv(1502), txt({"a"})}));
    QTRY_COMPARE(e.added.size(), 1);
    e.clock.advance(100'000 - 1);
    QCOMPARE(e.removed.size(), 0);
    e.clock.advance(2);
    QTRY_COMPARE(e.removed.size(), 1);
    QVERIFY(e.cache.lookupRecords(ModbusType, PTR).isEmpty());
    e.clock.advance(10 * 3'600'000);
    int listedCount = 0;
    QList<qint64> scheduled, refreshes;
    for (const TestServer::Sent &query : e.server.queriesFor(ModbusType, PTR)) {
        QVERIFY(!query.message.response && !query.message.questions[0].unicastResponse);
        const bool listed = std::any_of(query.message.answers.begin(), query.message.answers.end(),
                                        [](const Record &r) { return r.sameRecord(ptr()); });
        const qint64 left = 100'000 - query.time;
        QVERIFY2(listed == (left > 50'000), qPrintable(QString::number(query.time)));
        if (listed)
            QVERIFY(query.message.answers[0].ttl <= quint32(left / 1000) + 1);
        listedCount += listed;
        (query.time >= 80'000 && left > 0 ? refreshes : scheduled).append(query.time);
    }
    QCOMPARE(listedCount, 6);
    QCOMPARE(refreshes.size(), 4);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(refreshes[i] >= 80'000 + 5'000 * i && refreshes[i] <= 82'000 + 5'000 * i,
                 qPrintable(QString::number(refreshes[i])));
    QVERIFY2(scheduled[0] >= 20 && scheduled[0] <= 120, qPrintable(QString::number(scheduled[0])));
    qint64 interval = 1000;
    for (qsizetype i = 1; i < scheduled.size(); ++i) {
        QCOMPARE(scheduled[i] - scheduled[i - 1], interval);
        interval = std::min<qint64>(interval * 2, 3'600'000);
    }
    QCOMPARE(interval, 3'600'000);
}

void TestMdnsBrowser::cacheFlush()
{
    Env e;
    // Two cache-flush addresses in one response both stay; one without the bit
    // a little later leaves them alone.
    e.cache.addRecord(address("192.0.2.1"));
    e.cache.addRecord(address("192.0.2.2"));
    e.clock.advance(2000);
    e.cache.addRecord(address("192.0.2.3", 120, false));
    e.clock.advance(1500);
    QCOMPARE(e.cache.lookupRecords(Host, A).size(), 3);
    // A cache-flush address received later: the others go one second after it.
    QSignalSpy expired(&e.cache, &Cache::recordExpired);
    e.cache.addRecord(address("192.0.2.4"));
    e.clock.advance(999);
    QCOMPARE(e.cache.lookupRecords(Host, A).size(), 4);
    e.clock.advance(2);
    QCOMPARE(expired.size(), 3);
    QCOMPARE(e.cache.lookupRecords(Host, A).size(), 1);
    QCOMPARE(e.cache.lookupRecords(Host, A)[0].address, QHostAddress("192.0.2.4"));
    // A cache-flush goodbye (TTL 0) for a record never seen creates nothing
    // and flushes nothing.
    e.cache.addRecord(address("192.0.2.9", 0));
    QCOMPARE(e.cache.lookupRecords(Host, A).size(), 1);
    e.clock.advance(5000);
    QCOMPARE(e.cache.lookupRecords(Host, A).size(), 1);
}

void TestMdnsBrowser::onLinkSources()
{
    QNetworkAddressEntry v4, v6;
    v4.setIp(QHostAddress("192.168.1.5"));
    v4.setPrefixLength(24);
    v6.setIp(QHostAddress("2001:db8:1::5"));
    v6.setPrefixLength(64);
    const std::pair<const char *, bool> cases[] = {
        {"192.168.1.20", true},   {"192.168.2.20", false},   {"198.51.100.1", false},
        {"2001:db8:1::77", true}, {"2001:db8:2::77", false}, {"fe80::1234", true},
        {"0.0.0.0", false}};
    for (const auto &[address, onLink] : cases)
        QVERIFY2(Server::isOnLink(QHostAddress(address), {v4, v6}) == onLink, address);
    QVERIFY(Server::isOnLink(QHostAddress("127.0.0.1"), QList<QNetworkAddressEntry>()));
}

void TestMdnsBrowser::floodIsBounded()
{
    // Thousands of instances nobody describes: the cache stops growing, and
    // the questions for their SRV and TXT share few datagrams.
    Env e;
    QElapsedTimer timer;
    timer.start();
    for (int m = 0, n = 0; m < 4; ++m) {
        Message flood = response({});
        for (int i = 0; i < 400; ++i)
            flood.answers.append(ptr(4500, ModbusType.prepended(QByteArray::number(n++))));
        e.server.inject(flood);
        QCoreApplication::processEvents();
    }
    QCOMPARE(e.cache.lookupRecords(ModbusType, PTR).size(), Cache::MaxRecordsPerName);
    QVERIFY2(e.server.sent.size() < 20, qPrintable(QString::number(e.server.sent.size())));
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
}

void TestMdnsBrowser::announceAnswerGoodbye()
{
    TestServer server(Clock::system());
    auto *provider = new Provider(&server);
    provider->update(service(InstanceLabel, "m1.local.", 1502, {{"VrkC1 serial 1000", {}}}),
                     {QHostAddress("192.0.2.7"), QHostAddress("2001:db8::7")});

    // Announced at once and again a second later.
    QCOMPARE(server.sent.size(), 1);
    const Message announcement = server.sent[0].message;
    QVERIFY(announcement.response && announcement.authoritative && holdsAll(announcement.answers));
    QTRY_COMPARE_WITH_TIMEOUT(server.sent.size(), 2, 3000);
    QVERIFY(server.sent[1].time - server.sent[0].time >= 900);
    QTest::qWait(1100); // past the once-a-second limit
    server.sent.clear();

    // A PTR query: the PTR, with SRV, TXT and addresses as additional records;
    // asked again at once, not multicast twice within a second.
    server.inject(query(ModbusType, PTR));
    QTRY_COMPARE(server.sent.size(), 1);
    const Message answer = server.sent[0].message;
    QCOMPARE(answer.answers.size(), 1);
    QVERIFY(holdsAll(answer.answers + answer.additionals));
    server.inject(query(ModbusType, PTR));
    QTest::qWait(300);
    QCOMPARE(server.sent.size(), 1);
    QTest::qWait(1000);

    // The asker holds the PTR with more than half its TTL: no answer; with
    // less, an answer. Other names and types get nothing.
    Record known = ptr(4000);
    server.inject(query(ModbusType, PTR, {known}));
    server.inject(query(Name::fromDotted("_http._tcp.local"), PTR));
    server.inject(query(Host, SRV));
    QTest::qWait(300);
    QCOMPARE(server.sent.size(), 1);
    known.ttl = 1000;
    server.inject(query(ModbusType, PTR, {known}));
    QTRY_COMPARE(server.sent.size(), 2);

    // A legacy query (not from port 5353) is answered to the asker with its
    // id and question, short TTLs and no cache-flush bits.
    Message legacy = query(Host, A);
    legacy.id = 0x1234;
    server.inject(legacy, 40000);
    QTRY_COMPARE(server.sent.size(), 3);
    const TestServer::Sent reply = server.sent[2];
    QVERIFY(reply.address == QHostAddress("192.0.2.1") && reply.port == 40000);
    QVERIFY(reply.message.id == 0x1234 && reply.message.questions.size() == 1);
    QCOMPARE(reply.message.answers.size(), 1);
    QVERIFY(reply.message.answers[0].ttl <= 10 && !reply.message.answers[0].cacheFlush);

    // Destroyed: a goodbye with TTL 0 for everything it announced.
    delete provider;
    QCOMPARE(server.sent.size(), 4);
    QVERIFY(server.sent[3].message.response && holdsAll(server.sent[3].message.answers, 0));
}

QTEST_GUILESS_MAIN(TestMdnsBrowser)
#include "tst_mdnsbrowser.moc"
