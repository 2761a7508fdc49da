// Cache, browser and resolver on a transport the test drives and a clock it
// moves: services appearing, changing and going, the query schedule and
// known-answer lists, and hostile or odd input.
#include "mdns/browser.h"
#include "mdns/cache.h"
#include "mdns/clock.h"
#include "mdns/resolver.h"
#include "mdns/server.h"
#include "testserver.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace Mdns;

namespace {

const QByteArray TypeText = "_modbus._tcp.local.";
const Name ModbusType = Name::fromDotted(TypeText);
// An instance label with a dot and UTF-8 in it: one label all the same.
const QByteArray InstanceLabel = "Grinder 2.1 \xc5\xbe";
const Name Instance = ModbusType.prepended(InstanceLabel);
const Name Host = Name::fromDotted("m1.local");

Record ptr(quint32 ttl = 4500, const Name &instance = Instance)
{
    Record r;
    r.name = ModbusType;
    r.type = PTR;
    r.ttl = ttl;
    r.target = instance;
    return r;
}

Record srv(quint16 port, quint32 ttl = 120, const Name &instance = Instance)
{
    Record r;
    r.name = instance;
    r.type = SRV;
    r.cacheFlush = true;
    r.ttl = ttl;
    r.port = port;
    r.target = Host;
    return r;
}

Record txt(const QList<QByteArray> &strings, quint32 ttl = 4500)
{
    Record r;
    r.name = Instance;
    r.type = TXT;
    r.cacheFlush = true;
    r.ttl = ttl;
    r.txt = strings;
    return r;
}

Record address(const char *text, quint32 ttl = 120, bool flush = true)
{
    Record r;
    r.name = Host;
    r.cacheFlush = flush;
    r.ttl = ttl;
    r.address = QHostAddress(QString::fromLatin1(text));
    r.type = r.address.protocol() == QAbstractSocket::IPv4Protocol ? A : AAAA;
    return r;
}

Message response(const QList<Record> &answers, const QList<Record> &additionals = {})
{
    Message m;
    m.response = true;
    m.authoritative = true;
    m.answers = answers;
    m.additionals = additionals;
    return m;
}

// Everything one instance needs, as a responder sends it.
Message fullResponse(quint16 port = 1502)
{
    return response({ptr()},
                    {srv(port), txt({"VrkC1 serial 1000", "empty="}), address("192.0.2.7")});
}

} // namespace

class TestMdnsBrowser : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addUpdateGoodbye();
    void resolverUsesAdditionalRecords();
    void askForMissingRecords();
    void refreshAndExpiry();
    void querySchedule();
    void knownAnswers();
    void cacheFlush();
    void ignoredInput();
    void skippedRecordBesideService();
    void queuedSignal();
    void onLinkSources();
    void floodIsBounded();

private:
    Clock *clock = nullptr;
    TestServer *server = nullptr;
    Cache *cache = nullptr;
    Browser *browser = nullptr;
    QSignalSpy *added = nullptr;
    QSignalSpy *updated = nullptr;
    QSignalSpy *removed = nullptr;
};

void TestMdnsBrowser::init()
{
    clock = new Clock(Clock::Manual);
    server = new TestServer(clock);
    cache = new Cache(clock);
    browser = new Browser(server, TypeText, cache);
    added = new QSignalSpy(browser, &Browser::serviceAdded);
    updated = new QSignalSpy(browser, &Browser::serviceUpdated);
    removed = new QSignalSpy(browser, &Browser::serviceRemoved);
}

void TestMdnsBrowser::cleanup()
{
    delete added;
    delete updated;
    delete removed;
    delete browser;
    delete cache;
    delete server;
    delete clock;
}

void TestMdnsBrowser::addUpdateGoodbye()
{
    server->inject(fullResponse());
    QTRY_COMPARE(added->size(), 1);
    auto service = added->at(0).at(0).value<Service>();
    QCOMPARE(service.name(), InstanceLabel);
    QCOMPARE(service.type(), TypeText);
    QCOMPARE(service.hostname(), QByteArray("m1.local."));
    QCOMPARE(service.port(), quint16(1502));
    QCOMPARE(service.attributes().keys(), (QList<QByteArray>{"VrkC1 serial 1000", "empty"}));
    QVERIFY(service.attributes().value("VrkC1 serial 1000").isNull());
    QVERIFY(!service.attributes().value("empty").isNull());

    // The same records again change nothing.
    clock->advance(3000);
    server->inject(fullResponse());
    QTest::qWait(10);
    QCOMPARE(added->size(), 1);
    QCOMPARE(updated->size(), 0);

    // A new SRV (cache-flush) replaces the old one: one update, and the old
    // record going a second later changes nothing more.
    clock->advance(1500);
    server->inject(response({srv(1503)}));
    QTRY_COMPARE(updated->size(), 1);
    QCOMPARE(updated->at(0).at(0).value<Service>().port(), quint16(1503));
    clock->advance(1500);
    QCOMPARE(cache->lookupRecords(Instance, SRV).size(), 1);
    QTest::qWait(10);
    QCOMPARE(updated->size(), 1);

    // Changed TXT.
    clock->advance(2000);
    server->inject(response({txt({"VrkC1 serial 1001"})}));
    QTRY_COMPARE(updated->size(), 2);
    QCOMPARE(updated->at(1).at(0).value<Service>().attributes().firstKey(),
             QByteArray("VrkC1 serial 1001"));
    QCOMPARE(removed->size(), 0);

    // Goodbye: gone one second later, not at once.
    server->inject(response({ptr(0)}));
    clock->advance(900);
    QTest::qWait(10);
    QCOMPARE(removed->size(), 0);
    clock->advance(200);
    QTRY_COMPARE(removed->size(), 1);
    QCOMPARE(removed->at(0).at(0).value<Service>().name(), InstanceLabel);
    QVERIFY(browser->services().isEmpty());
}

void TestMdnsBrowser::resolverUsesAdditionalRecords()
{
    server->inject(
        response({ptr()}, {srv(1502), txt({"a"}), address("192.0.2.7"), address("2001:db8::7")}));
    QTRY_COMPARE(added->size(), 1);
    // Addresses that came along are in the cache: the resolver answers from
    // it before any query of its own is due.
    Resolver resolver(server, "m1.local.", cache);
    QSignalSpy resolved(&resolver, &Resolver::resolved);
    QTRY_COMPARE(resolved.size(), 2);
    QCOMPARE(server->queriesFor(Host, A).size(), 0);
    // The browser did not ask for what came in the additional section.
    QCOMPARE(server->queriesFor(Instance, SRV).size(), 0);
    QCOMPARE(server->queriesFor(Instance, TXT).size(), 0);
    QList<QHostAddress> got{resolved[0][0].value<QHostAddress>(),
                            resolved[1][0].value<QHostAddress>()};
    QVERIFY(got.contains(QHostAddress("192.0.2.7")));
    QVERIFY(got.contains(QHostAddress("2001:db8::7")));

    // Then it queries A and AAAA itself, QM, and reports a new address once.
    clock->advance(150);
    QCOMPARE(server->queriesFor(Host, A).size(), 1);
    QCOMPARE(server->queriesFor(Host, AAAA).size(), 1);
    QVERIFY(!server->queriesFor(Host, A)[0].message.questions[0].unicastResponse);
    server->inject(response({address("192.0.2.8")}));
    server->inject(response({address("192.0.2.8")}));
    QTRY_COMPARE(resolved.size(), 3);
    QTest::qWait(10);
    QCOMPARE(resolved.size(), 3);
    QCOMPARE(resolved[2][0].value<QHostAddress>(), QHostAddress("192.0.2.8"));
}

void TestMdnsBrowser::askForMissingRecords()
{
    server->inject(response({ptr()}));
    QTRY_COMPARE(server->queriesFor(Instance, SRV).size(), 1);
    QCOMPARE(server->queriesFor(Instance, TXT).size(), 1);
    QCOMPARE(added->size(), 0);
    server->inject(response({srv(1502)}));
    QTest::qWait(10);
    // A service has both SRV and TXT (RFC 6763 section 6).
    QCOMPARE(added->size(), 0);
    server->inject(response({txt({})}));
    QTRY_COMPARE(added->size(), 1);
    QVERIFY(added->at(0).at(0).value<Service>().attributes().isEmpty());
}

void TestMdnsBrowser::refreshAndExpiry()
{
    server->inject(response({ptr()}, {srv(1502, 20), txt({"a"})}));
    QTRY_COMPARE(added->size(), 1);
    clock->advance(15'900);
    QCOMPARE(server->queriesFor(Instance, SRV).size(), 0);
    clock->advance(4'000); // to 19.9 s
    // Refresh queries at 80, 85, 90 and 95 % of 20 s, each up to 2 % late.
    const QList<TestServer::Sent> refreshes = server->queriesFor(Instance, SRV);
    QCOMPARE(refreshes.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const qint64 due = 16'000 + 1'000 * i;
        QVERIFY2(refreshes[i].time >= due && refreshes[i].time <= due + 400,
                 qPrintable(QString::number(refreshes[i].time)));
    }
    QCOMPARE(removed->size(), 0);
    clock->advance(200);
    QTRY_COMPARE(removed->size(), 1);
    QVERIFY(cache->lookupRecords(Instance, SRV).isEmpty());
}

void TestMdnsBrowser::querySchedule()
{
    clock->advance(10 * 3'600'000);
    const QList<TestServer::Sent> queries = server->queriesFor(ModbusType, PTR);
    QVERIFY(queries.size() > 14);
    QVERIFY2(queries[0].time >= 20 && queries[0].time <= 120,
             qPrintable(QString::number(queries[0].time)));
    qint64 interval = 1000;
    for (qsizetype i = 1; i < queries.size(); ++i) {
        QCOMPARE(queries[i].time - queries[i - 1].time, interval);
        interval = std::min<qint64>(interval * 2, 3'600'000);
        QVERIFY(!queries[i].message.response);
        QVERIFY(!queries[i].message.questions[0].unicastResponse);
    }
    QCOMPARE(interval, 3'600'000);
}

void TestMdnsBrowser::knownAnswers()
{
    // A PTR with 100 s to live: listed in queries while more than 50 s remain.
    server->inject(response({ptr(100)}, {srv(1502), txt({"a"})}));
    clock->advance(100'000 - 1);
    int with = 0, without = 0;
    for (const TestServer::Sent &query : server->queriesFor(ModbusType, PTR)) {
        const bool listed = std::any_of(query.message.answers.begin(), query.message.answers.end(),
                                        [](const Record &r) { return r.sameRecord(ptr()); });
        const qint64 left = 100'000 - query.time;
        QVERIFY2(listed == (left > 50'000), qPrintable(QString::number(query.time)));
        if (listed) {
            ++with;
            QVERIFY(query.message.answers[0].ttl <= quint32(left / 1000) + 1);
        } else {
            ++without;
        }
    }
    // Queries at about 0.1, 1.1, 3.1, 7.1, 15.1, 31.1 s (listed), 63.1 s and
    // the four refreshes from 80 s on (not).
    QCOMPARE(with, 6);
    QCOMPARE(without, 5);
}

void TestMdnsBrowser::cacheFlush()
{
    // Two addresses in one response, both with cache-flush: both stay.
    cache->addRecord(address("192.0.2.1"));
    cache->addRecord(address("192.0.2.2"));
    QCOMPARE(cache->lookupRecords(Host, A).size(), 2);
    // A second later another address with cache-flush: the older ones go one
    // second after that; one without the bit leaves them alone.
    clock->advance(2000);
    cache->addRecord(address("192.0.2.3", 120, false));
    clock->advance(1500);
    QCOMPARE(cache->lookupRecords(Host, A).size(), 3);
    QSignalSpy expired(cache, &Cache::recordExpired);
    cache->addRecord(address("192.0.2.4"));
    clock->advance(999);
    QCOMPARE(cache->lookupRecords(Host, A).size(), 4);
    clock->advance(2);
    QCOMPARE(expired.size(), 3);
    const QList<Record> left = cache->lookupRecords(Host, A);
    QCOMPARE(left.size(), 1);
    QCOMPARE(left[0].address, QHostAddress("192.0.2.4"));
    // A goodbye for a record never seen creates nothing.
    cache->addRecord(address("192.0.2.9", 0));
    QCOMPARE(cache->lookupRecords(Host, A).size(), 1);
    // Nor does a flush goodbye remove the others.
    cache->addRecord(address("192.0.2.10", 0));
    clock->advance(5000);
    QCOMPARE(cache->lookupRecords(Host, A).size(), 1);
}

void TestMdnsBrowser::ignoredInput()
{
    // A query carrying the records (our own would look like this) tells nothing.
    Message query = fullResponse();
    query.response = false;
    server->inject(query);
    // Responses with another opcode or an error code, or not from port 5353.
    Message opcode = fullResponse();
    opcode.opcode = 5;
    server->inject(opcode);
    Message rcode = fullResponse();
    rcode.rcode = 3;
    server->inject(rcode);
    server->inject(fullResponse(), 40000);
    // Goodbyes for an instance never seen.
    server->inject(response({ptr(0)}, {srv(1502, 0), txt({"a"}, 0)}));
    // Another type, and a name under our type that is not one label deeper.
    Record other = ptr();
    other.name = Name::fromDotted("_http._tcp.local");
    Record deep = ptr(4500, ModbusType.prepended("x").prepended("y"));
    server->inject(response({other, deep}, {srv(1502, 120, deep.target)}));
    QTest::qWait(20);
    QCOMPARE(added->size(), 0);
    QVERIFY(cache->lookupRecords(ModbusType, PTR).isEmpty());
    QVERIFY(cache->lookupRecords(Instance, ANY).isEmpty());
    QVERIFY(cache->lookupRecords(other.name, PTR).isEmpty());
    // And afterwards a proper response still works.
    server->inject(fullResponse());
    QTRY_COMPARE(added->size(), 1);
}

void TestMdnsBrowser::skippedRecordBesideService()
{
    const QByteArray valid = fullResponse().toWire();
    // An NSEC record with garbage inside, beside the records that matter, is
    // skipped by its length; the rest still makes the service.
    QByteArray withNsec = valid;
    withNsec[11] = char(withNsec[11] + 1); // one more additional record
    withNsec += QByteArray::fromHex("c00c002f8001000000780004c0ffffff");
    server->injectRaw(withNsec);
    QTRY_COMPARE(added->size(), 1);
    QCOMPARE(added->at(0).at(0).value<Service>().port(), quint16(1502));
}

void TestMdnsBrowser::queuedSignal()
{
    // The service type crosses queued connections with null and empty values intact.
    QList<Service> got;
    QObject receiver;
    connect(
        browser, &Browser::serviceAdded, &receiver, [&](const Service &s) { got.append(s); },
        Qt::QueuedConnection);
    server->inject(fullResponse());
    QTRY_COMPARE(got.size(), 1);
    QVERIFY(got[0].attributes().value("VrkC1 serial 1000").isNull());
    QVERIFY(!got[0].attributes().value("empty").isNull());
    QVERIFY(QMetaType::fromType<Service>().isRegistered());
}

void TestMdnsBrowser::onLinkSources()
{
    QNetworkAddressEntry v4, v6;
    v4.setIp(QHostAddress("192.168.1.5"));
    v4.setPrefixLength(24);
    v6.setIp(QHostAddress("2001:db8:1::5"));
    v6.setPrefixLength(64);
    const QList<QNetworkAddressEntry> entries{v4, v6};
    QVERIFY(Server::isOnLink(QHostAddress("192.168.1.20"), entries));
    QVERIFY(!Server::isOnLink(QHostAddress("192.168.2.20"), entries));
    QVERIFY(!Server::isOnLink(QHostAddress("198.51.100.1"), entries));
    QVERIFY(Server::isOnLink(QHostAddress("2001:db8:1::77"), entries));
    QVERIFY(!Server::isOnLink(QHostAddress("2001:db8:2::77"), entries));
    QVERIFY(Server::isOnLink(QHostAddress("fe80::1234"), entries));
    QVERIFY(Server::isOnLink(QHostAddress("127.0.0.1"), QList<QNetworkAddressEntry>()));
    QVERIFY(!Server::isOnLink(QHostAddress("0.0.0.0"), entries));
}

void TestMdnsBrowser::floodIsBounded()
{
    // Thousands of instances nobody will ever describe: the cache stops
    // growing, and the questions for their SRV and TXT share few datagrams.
    QElapsedTimer timer;
    timer.start();
    for (int m = 0, n = 0; m < 4; ++m) {
        Message flood = response({});
        for (int i = 0; i < 400; ++i)
            flood.answers.append(ptr(4500, ModbusType.prepended(QByteArray::number(n++))));
        server->inject(flood);
        QCoreApplication::processEvents();
    }
    QCOMPARE(cache->lookupRecords(ModbusType, PTR).size(), Cache::MaxRecordsPerName);
    QVERIFY2(server->sent.size() < 20, qPrintable(QString::number(server->sent.size())));
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestMdnsBrowser)
#include "tst_mdnsbrowser.moc"
