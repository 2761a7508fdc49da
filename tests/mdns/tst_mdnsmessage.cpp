// The message codec: round trips, and every malformed form rejected without
// reading outside the datagram. This test compiles the codec with
// AddressSanitizer, and each input sits in a heap buffer of exactly its size.
#include "mdns/message.h"
#include "mdns/service.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>

using namespace Mdns;

namespace {

std::optional<Message> parseExact(const QByteArray &bytes)
{
    // A buffer of exactly the input's size: one byte too far is a heap overflow.
    std::unique_ptr<char[]> buffer(new char[bytes.size() ? bytes.size() : 1]);
    std::copy(bytes.begin(), bytes.end(), buffer.get());
    return Message::fromWire(QByteArrayView(buffer.get(), bytes.size()));
}

Record makeRecord(const Name &name, quint16 type, quint32 ttl)
{
    Record r;
    r.name = name;
    r.type = type;
    r.ttl = ttl;
    return r;
}

QByteArray header(int qd, int an, int ns = 0, int ar = 0, quint16 flags = 0x8400)
{
    QByteArray h(12, '\0');
    const int values[] = {0, flags, qd, an, ns, ar};
    for (int i = 0; i < 6; ++i) {
        h[2 * i] = char(values[i] >> 8);
        h[2 * i + 1] = char(values[i] & 0xFF);
    }
    return h;
}

QByteArray label(const QByteArray &text)
{
    return char(text.size()) + text;
}

} // namespace

class TestMdnsMessage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void classBitsAndSkippedRecords();
    void malformed_data();
    void malformed();
    void txtAttributes();
};

void TestMdnsMessage::roundTrip()
{
    const Name type = Name::fromDotted("_modbus._tcp.local.");
    // One label holding dots, a backslash and UTF-8.
    const QByteArray instanceLabel =
        QByteArray("Vrk.C1 \\ ") + QByteArray("\xc5\xbe\xc3\xa1k 1000");
    const Name instance = type.prepended(instanceLabel);
    const Name host = Name::fromDotted("m1.local");

    Message m;
    m.id = 0;
    m.response = true;
    m.authoritative = true;
    Record ptr = makeRecord(type, PTR, 4500);
    ptr.target = instance;
    Record srv = makeRecord(instance, SRV, 120);
    srv.cacheFlush = true;
    srv.priority = 1;
    srv.weight = 2;
    srv.port = 1502;
    srv.target = host;
    Record txt = makeRecord(instance, TXT, 4500);
    txt.cacheFlush = true;
    txt.txt = {"VrkC1 serial 1000", "key=", "k2=v"};
    Record a = makeRecord(host, A, 120);
    a.address = QHostAddress("192.0.2.7");
    Record aaaa = makeRecord(host, AAAA, 120);
    aaaa.address = QHostAddress("2001:db8::7");
    Record emptyTxt = makeRecord(Name::fromDotted("x.local"), TXT, 10);
    m.answers = {ptr};
    m.additionals = {srv, txt, a, aaaa, emptyTxt};
    Question q;
    q.name = type;
    q.type = PTR;
    m.questions = {q};

    const QByteArray wire = m.toWire();
    QVERIFY(!wire.isEmpty());
    // The type name and host name are written once and pointed to afterwards.
    QCOMPARE(wire.count("_modbus"), 1);
    QCOMPARE(wire.count("\x02m1"), 1);
    // An empty TXT record goes out as one zero byte.
    QVERIFY(wire.endsWith(QByteArray("\x00\x10\x00\x01\x00\x00\x00\x0a\x00\x01\x00", 11)));

    const auto parsed = parseExact(wire);
    QVERIFY(parsed);
    QVERIFY(parsed->response);
    QVERIFY(parsed->authoritative);
    QCOMPARE(parsed->questions.size(), 1);
    QVERIFY(parsed->questions[0].name == type);
    QCOMPARE(parsed->answers.size(), 1);
    QCOMPARE(parsed->additionals.size(), 5);
    QVERIFY(parsed->answers[0].sameRecord(ptr));
    QCOMPARE(parsed->answers[0].ttl, 4500u);
    // The instance stays one label, dots and all.
    QCOMPARE(parsed->answers[0].target.labels().size(), 4);
    QCOMPARE(parsed->answers[0].target.labels().first(), instanceLabel);
    for (int i = 0; i < 5; ++i)
        QVERIFY2(parsed->additionals[i].sameRecord(m.additionals[i]),
                 qPrintable(QString::number(i)));
    QVERIFY(parsed->additionals[0].cacheFlush);
    QVERIFY(parsed->additionals[4].txt.isEmpty());
    // Encoding again gives the same bytes.
    QCOMPARE(parsed->toWire(), wire);

    // Names compare case-insensitively for ASCII only.
    QVERIFY(Name::fromDotted("M1.LOCAL") == host);
    QVERIFY(!(Name({"\xc5\xbd"}) == Name({"\xc5\xbe"})));

    // What cannot be encoded is refused instead of producing a bad datagram.
    Message bad;
    bad.questions = {Question{Name({QByteArray(64, 'a')}), PTR, ClassIn, false}};
    QVERIFY(bad.toWire().isEmpty());
}

void TestMdnsMessage::classBitsAndSkippedRecords()
{
    // Answer 1: PTR with the cache-flush bit set on class IN. Answer 2: a TXT
    // of class CH with the same bit: not IN, skipped. Answer 3: an NSEC whose
    // RDATA is garbage: skipped by its length.
    QByteArray d = header(0, 3);
    const QByteArray name = label("_modbus") + label("_tcp") + label("local") + '\0';
    d += name + QByteArray::fromHex("000c8001000000780002") + QByteArray::fromHex("c00c");
    d += QByteArray::fromHex("c00c00108003000000780002") + label("x");
    d += QByteArray::fromHex("c00c002f8001000000780003ffc0ff");
    const auto m = parseExact(d);
    QVERIFY(m);
    QCOMPARE(m->answers.size(), 1);
    QCOMPARE(m->answers[0].recordClass, ClassIn);
    QVERIFY(m->answers[0].cacheFlush);
    QVERIFY(m->answers[0].target == Name::fromDotted("_modbus._tcp.local"));
}

void TestMdnsMessage::malformed_data()
{
    QTest::addColumn<QByteArray>("datagram");
    const QByteArray tail = QByteArray::fromHex("000c0001");
    const QByteArray rr = QByteArray::fromHex("00010001"
                                              "00000078");

    QTest::newRow("pointer to itself") << header(1, 0) + QByteArray::fromHex("c00c") + tail;
    // Two pointers inside a skipped record's RDATA, each pointing at the
    // other; the second answer's name enters the cycle.
    QTest::newRow("cycle of two pointers") << header(0, 2) +
                                                  QByteArray::fromHex("00"
                                                                      "0063"
                                                                      "0001"
                                                                      "00000078"
                                                                      "0004"
                                                                      "c019c017") +
                                                  QByteArray::fromHex("c019"
                                                                      "000c"
                                                                      "0001"
                                                                      "00000078"
                                                                      "0002"
                                                                      "c017");
    QTest::newRow("pointer past the end") << header(1, 0) + QByteArray::fromHex("c0ff") + tail;
    QTest::newRow("truncated pointer") << header(1, 0) + label("a") + QByteArray::fromHex("c0");
    QTest::newRow("64-byte label") << header(1, 0) + char(64) + QByteArray(64, 'a') + '\0' + tail;
    QByteArray longName;
    for (int i = 0; i < 4; ++i)
        longName += label(QByteArray(63, 'a' + i));
    QTest::newRow("name over 255 bytes") << header(1, 0) + longName + '\0' + tail;
    // 127 labels "a" plus a pointer back to the first: 255 bytes reached through compression.
    QByteArray many;
    for (int i = 0; i < 127; ++i)
        many += label("a");
    QTest::newRow("name over 255 bytes through pointers")
        << header(2, 0) + many + '\0' + tail + label("b") + QByteArray::fromHex("c00c") + tail;
    QTest::newRow("label type 0x40") << header(1, 0) + QByteArray::fromHex("4161") + '\0' + tail;
    QTest::newRow("label type 0x80") << header(1, 0) + QByteArray::fromHex("8161") + '\0' + tail;
    QTest::newRow("name runs off the end") << header(1, 0) + label("abc") + "\x05xy";
    QTest::newRow("RDLENGTH past the end")
        << header(0, 1) + label("h") + '\0' + rr + QByteArray::fromHex("0064") + "abcd";
    QTest::newRow("A with RDLENGTH 5")
        << header(0, 1) + label("h") + '\0' + rr + QByteArray::fromHex("0005c000020701");
    QTest::newRow("AAAA with RDLENGTH 4")
        << header(0, 1) + label("h") + QByteArray::fromHex("00001c0001000000780004c0000207");
    QTest::newRow("PTR name past its RDATA")
        << header(0, 1) + label("h") + QByteArray::fromHex("00000c00010000007800020161") + '\0';
    QTest::newRow("SRV shorter than its fields")
        << header(0, 1) + label("h") + QByteArray::fromHex("0000210001000000780003000100") + '\0';
    QTest::newRow("TXT string past its RDATA")
        << header(0, 1) + label("h") + QByteArray::fromHex("0000100001000000780002056162");
    QTest::newRow("ANCOUNT 65535 in 12 bytes") << header(0, 65535);
    QTest::newRow("header only, counts too large") << header(3, 0) + QByteArray(10, '\0');
    QTest::newRow("empty datagram") << QByteArray();
    QTest::newRow("short header") << QByteArray::fromHex("0000840000");
    QTest::newRow("text") << QByteArray("GET / HTTP/1.1\r\nHost: example\r\n\r\n");
    QTest::newRow("over 9000 bytes") << header(0, 0) + QByteArray(9000, '\0');
}

void TestMdnsMessage::malformed()
{
    QFETCH(QByteArray, datagram);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 100; ++i)
        QVERIFY(!parseExact(datagram));
    // Generous even for a sanitizer build; catches runaway pointer chasing.
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
}

void TestMdnsMessage::txtAttributes()
{
    const auto attributes = Service::attributesFromTxt(
        {"VrkC1 serial 1000", "empty=", "k=v=w", "K=second", "=ignored", "", "Flag"});
    QCOMPARE(attributes.keys(), (QList<QByteArray>{"Flag", "VrkC1 serial 1000", "empty", "k"}));
    QVERIFY(attributes["VrkC1 serial 1000"].isNull());
    QVERIFY(attributes["Flag"].isNull());
    QVERIFY(!attributes["empty"].isNull());
    QVERIFY(attributes["empty"].isEmpty());
    // The first of keys equal but for case wins; the value keeps its "=".
    QCOMPARE(attributes["k"], QByteArray("v=w"));

    const QList<QByteArray> strings = Service::txtFromAttributes(attributes);
    QCOMPARE(strings, (QList<QByteArray>{"Flag", "VrkC1 serial 1000", "empty=", "k=v=w"}));
    QCOMPARE(Service::attributesFromTxt(strings), attributes);
    Service a, b;
    a.addAttribute("x", QByteArray());
    b.addAttribute("x", QByteArray(""));
    QVERIFY(!(a == b));
}

QTEST_GUILESS_MAIN(TestMdnsMessage)
#include "tst_mdnsmessage.moc"
