// The provider on a transport the test drives: announcements, answers,
// known-answer suppression, the once-a-second limit, legacy unicast, goodbye.
#include "mdns/provider.h"
#include "testserver.h"

#include <QTest>

using namespace Mdns;

namespace {

const Name ModbusType = Name::fromDotted("_modbus._tcp.local");
const Name Instance = ModbusType.prepended("Grinder 2.1");
const Name Host = Name::fromDotted("m1.local");

Message query(const Name &name, quint16 type, const QList<Record> &known = {})
{
    Message m;
    m.questions = {Question{name, type, ClassIn, false}};
    m.answers = known;
    return m;
}

const Record *find(const QList<Record> &records, const Name &name, quint16 type)
{
    const auto it = std::find_if(records.begin(), records.end(),
                                 [&](const Record &r) { return r.name == name && r.type == type; });
    return it == records.end() ? nullptr : &*it;
}

bool hasAll(const QList<Record> &records)
{
    return find(records, ModbusType, PTR) && find(records, Instance, SRV) &&
           find(records, Instance, TXT) && find(records, Host, A) && find(records, Host, AAAA);
}

} // namespace

class TestMdnsProvider : public QObject
{
    Q_OBJECT

private slots:
    void announceAnswerGoodbye();
};

void TestMdnsProvider::announceAnswerGoodbye()
{
    TestServer server(Clock::system());
    auto *provider = new Provider(&server);
    Service service;
    service.setName("Grinder 2.1");
    service.setType("_modbus._tcp.local.");
    service.setHostname("m1.local.");
    service.setPort(1502);
    service.addAttribute("VrkC1 serial 1000", QByteArray());
    provider->update(service, {QHostAddress("192.0.2.7"), QHostAddress("2001:db8::7")});

    // Announced at once and again a second later.
    QCOMPARE(server.sent.size(), 1);
    const Message announcement = server.sent[0].message;
    QVERIFY(announcement.response && announcement.authoritative);
    QVERIFY(hasAll(announcement.answers));
    const Record ptr = *find(announcement.answers, ModbusType, PTR);
    QVERIFY(ptr.target == Instance && !ptr.cacheFlush); // shared record
    const Record *srv = find(announcement.answers, Instance, SRV);
    QVERIFY(srv->cacheFlush && srv->port == 1502 && srv->target == Host);
    QCOMPARE(srv->ttl, Provider::HostTtl);
    QCOMPARE(find(announcement.answers, Instance, TXT)->txt,
             QList<QByteArray>{"VrkC1 serial 1000"});
    QCOMPARE(find(announcement.answers, Host, A)->address, QHostAddress("192.0.2.7"));
    QCOMPARE(find(announcement.answers, Host, AAAA)->address, QHostAddress("2001:db8::7"));
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
    QVERIFY(hasAll(answer.answers + answer.additionals));
    server.inject(query(ModbusType, PTR));
    QTest::qWait(300);
    QCOMPARE(server.sent.size(), 1);
    QTest::qWait(1000);

    // The asker holds the PTR with more than half its TTL: no answer; with
    // less, an answer. Other names and types get nothing.
    Record known = ptr;
    known.ttl = 4000;
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
    QVERIFY(server.sent[3].message.response);
    QVERIFY(hasAll(server.sent[3].message.answers));
    for (const Record &r : server.sent[3].message.answers)
        QCOMPARE(r.ttl, 0u);
}

QTEST_GUILESS_MAIN(TestMdnsProvider)
#include "tst_mdnsprovider.moc"
