// The provider on a transport the test drives: announcements, answers with
// their additional records, known-answer suppression, the once-a-second
// limit, legacy unicast answers and the goodbye.
#include "mdns/provider.h"
#include "testserver.h"

#include <QElapsedTimer>
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
    for (const Record &r : records) {
        if (r.name == name && r.type == type)
            return &r;
    }
    return nullptr;
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
    QVERIFY(announcement.response);
    QVERIFY(announcement.authoritative);
    const Record *ptr = find(announcement.answers, ModbusType, PTR);
    QVERIFY(ptr);
    QVERIFY(ptr->target == Instance);
    QVERIFY(!ptr->cacheFlush); // shared record
    const Record *srv = find(announcement.answers, Instance, SRV);
    QVERIFY(srv && srv->cacheFlush && srv->port == 1502 && srv->target == Host);
    QCOMPARE(srv->ttl, Provider::HostTtl);
    const Record *txt = find(announcement.answers, Instance, TXT);
    QVERIFY(txt);
    QCOMPARE(txt->txt, QList<QByteArray>{"VrkC1 serial 1000"});
    QCOMPARE(find(announcement.answers, Host, A)->address, QHostAddress("192.0.2.7"));
    QCOMPARE(find(announcement.answers, Host, AAAA)->address, QHostAddress("2001:db8::7"));
    QTRY_COMPARE_WITH_TIMEOUT(server.sent.size(), 2, 3000);
    QVERIFY(server.sent[1].time - server.sent[0].time >= 900);
    QTest::qWait(1100); // past the once-a-second limit
    server.sent.clear();

    // A PTR query: the PTR, with SRV, TXT and addresses as additional records.
    server.inject(query(ModbusType, PTR));
    QTRY_COMPARE(server.sent.size(), 1);
    const Message answer = server.sent[0].message;
    QCOMPARE(answer.answers.size(), 1);
    QVERIFY(find(answer.answers, ModbusType, PTR));
    QCOMPARE(answer.additionals.size(), 4);
    QVERIFY(find(answer.additionals, Instance, SRV));
    QVERIFY(find(answer.additionals, Instance, TXT));
    QVERIFY(find(answer.additionals, Host, A));
    // Asked again at once: not multicast twice within a second.
    server.inject(query(ModbusType, PTR));
    QTest::qWait(300);
    QCOMPARE(server.sent.size(), 1);

    QTest::qWait(1000);
    // The asker already holds the PTR with more than half its TTL: no answer.
    Record known = *ptr;
    known.ttl = 4000;
    server.inject(query(ModbusType, PTR, {known}));
    QTest::qWait(300);
    QCOMPARE(server.sent.size(), 1);
    // With less than half left it is answered.
    known.ttl = 1000;
    server.inject(query(ModbusType, PTR, {known}));
    QTRY_COMPARE(server.sent.size(), 2);

    // Other names and types get nothing.
    server.inject(query(Name::fromDotted("_http._tcp.local"), PTR));
    server.inject(query(Host, SRV));
    QTest::qWait(300);
    QCOMPARE(server.sent.size(), 2);

    // A legacy query (not from port 5353) is answered to the asker, with its
    // id and question, short TTLs and no cache-flush bits.
    Message legacy = query(Host, A);
    legacy.id = 0x1234;
    server.inject(legacy, 40000);
    QTRY_COMPARE(server.sent.size(), 3);
    const TestServer::Sent reply = server.sent[2];
    QCOMPARE(reply.address, QHostAddress("192.0.2.1"));
    QCOMPARE(reply.port, quint16(40000));
    QCOMPARE(reply.message.id, quint16(0x1234));
    QCOMPARE(reply.message.questions.size(), 1);
    QCOMPARE(reply.message.answers.size(), 1);
    QVERIFY(reply.message.answers[0].ttl <= 10);
    QVERIFY(!reply.message.answers[0].cacheFlush);

    // Destroyed: a goodbye with TTL 0 for everything it announced.
    delete provider;
    QCOMPARE(server.sent.size(), 4);
    const Message goodbye = server.sent[3].message;
    QVERIFY(goodbye.response);
    QVERIFY(find(goodbye.answers, ModbusType, PTR) && find(goodbye.answers, Instance, SRV) &&
            find(goodbye.answers, Instance, TXT) && find(goodbye.answers, Host, A));
    for (const Record &r : goodbye.answers)
        QCOMPARE(r.ttl, 0u);
}

QTEST_GUILESS_MAIN(TestMdnsProvider)
#include "tst_mdnsprovider.moc"
