// The codec, compiled with AddressSanitizer: each input sits in a heap buffer
// of exactly its size, so reading one byte too far fails the test.
#include "mdns/service.h"
#include "testdata.h"

#include <QElapsedTimer>
#include <QTest>
#include <vector>

using namespace Mdns;
using namespace TestData;

static Result<Message> parseExact(const QByteArray &bytes)
{
    const std::vector<char> buffer(bytes.begin(), bytes.end());
    return Message::fromWire(QByteArrayView(buffer.data(), bytes.size()));
}

class TestMdnsMessage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void malformed();
    void txtAttributes();
};

void TestMdnsMessage::roundTrip()
{
    Record service = srv(1502);
    service.priority = 1;
    service.weight = 2;
    Message m = response({ptr()}, {service, txt({"VrkC1 serial 1000", "key=", "k2=v"}),
                                   address("192.0.2.7", 120, false), address("2001:db8::7"),
                                   record(Name::fromDotted("x.local"), TXT, 10)});
    m.questions = {Question{ModbusType, PTR, ClassIn, false}};

    const QByteArray wire = m.toWire();
    // Names are written once and compressed afterwards.
    QCOMPARE(wire.count("_modbus"), 1);
    QCOMPARE(wire.count("\x02m1"), 1);
    // An empty TXT record goes out as one zero byte.
    QVERIFY(wire.endsWith(QByteArray("\x00\x10\x00\x01\x00\x00\x00\x0a\x00\x01\x00", 11)));

    const auto parsed = parseExact(wire);
    QVERIFY(parsed && parsed->response && parsed->authoritative);
    QVERIFY(parsed->questions.size() == 1 && parsed->questions[0].name == ModbusType);
    // Every record as it was sent; names byte for byte (they compare
    // case-insensitively): the same wire again.
    QVERIFY(sameRecords(parsed->answers, m.answers) &&
            sameRecords(parsed->additionals, m.additionals));
    QCOMPARE(parsed->toWire(), wire);
    // Every cut short of the whole datagram is refused.
    for (qsizetype n = 0; n < wire.size(); ++n)
        QVERIFY2(!parseExact(wire.first(n)), qPrintable(QString::number(n)));
    // A record of a type not handled here is skipped by its length, garbage inside or not.
    QByteArray withUnknown = wire + QByteArray::fromHex("c00c002f8001000000780004c0ffffff");
    ++withUnknown[11]; // one more additional record
    QCOMPARE(parseExact(withUnknown).value_or(Message()).toWire(), wire);

    // Names compare case-insensitively for ASCII only.
    QVERIFY(Name::fromDotted("M1.LOCAL") == Host);
    QVERIFY(!(Name({"\xc5\xbd"}) == Name({"\xc5\xbe"})));
    // What cannot be encoded is refused instead of producing a bad datagram.
    m.questions = {Question{Name({QByteArray(64, 'a')}), PTR}};
    QVERIFY(m.toWire().isEmpty());
}

// Datagrams that no cut of a valid one produces.
void TestMdnsMessage::malformed()
{
    // A response header with these question and answer counts.
    const auto header = [](int qd, int an) {
        return QByteArray::fromHex(
            QString::asprintf("00008400%04x%04x00000000", qd, an).toLatin1());
    };
    const auto label = [](const QByteArray &text) { return char(text.size()) + text; };
    const QByteArray q = header(1, 0), tail = QByteArray::fromHex("000c0001");
    // One answer named "h", followed by its type, class, TTL, RDLENGTH and RDATA.
    const auto rr = [&](const char *hex) {
        return header(0, 1) + "\x01h" + QByteArray::fromHex(hex);
    };
    const QByteArray longName = label(QByteArray(63, 'a')).repeated(4),
                     many = label("a").repeated(127);
    const std::pair<const char *, QByteArray> cases[] = {
        // A skipped record's RDATA holds two pointers at each other; the next name enters them.
        {"cycle of two pointers",
         header(0, 2) + QByteArray::fromHex("0000630001000000780004c019c017c019000c000100000078"
                                            "0002c017")},
        // Also label types 0x40 and 0x80, both reserved.
        {"64-byte label", q + char(64) + QByteArray(64, 'a') + '\0' + tail},
        {"name over 255 bytes", q + longName + '\0' + tail},
        {"255 bytes through a pointer",
         header(2, 0) + many + '\0' + tail + label("b") + QByteArray::fromHex("c00c") + tail},
        {"A with RDLENGTH 5", rr("0000010001000000780005c000020701")},
        {"AAAA with RDLENGTH 4", rr("00001c0001000000780004c0000207")},
        {"PTR name past its RDATA", rr("00000c0001000000780002016100")},
        {"SRV shorter than its fields", rr("000021000100000078000300010000")},
        {"TXT past its RDATA", rr("0000100001000000780002056162")},
        {"ANCOUNT 65535 in 12 bytes", header(0, 65535)},
        {"over 9000 bytes", header(0, 0) + QByteArray(9000, '\0')},
    };
    for (const auto &[name, datagram] : cases) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 100; ++i)
            QVERIFY2(!parseExact(datagram), name);
        // Generous even under the sanitizer; catches runaway pointer chasing.
        QVERIFY2(timer.elapsed() < 500,
                 qPrintable(QString("%1: %2 ms").arg(name).arg(timer.elapsed())));
    }
}

void TestMdnsMessage::txtAttributes()
{
    const auto attributes = Service::attributesFromTxt(
        {"VrkC1 serial 1000", "empty=", "k=v=w", "K=second", "=ignored", "", "Flag"});
    QCOMPARE(attributes.keys(), (QList<QByteArray>{"Flag", "VrkC1 serial 1000", "empty", "k"}));
    QVERIFY(attributes["VrkC1 serial 1000"].isNull());
    QVERIFY(!attributes["empty"].isNull() && attributes["empty"].isEmpty());
    // The first of keys equal but for case wins; the value keeps its "=".
    QCOMPARE(attributes["k"], QByteArray("v=w"));
    QCOMPARE(Service::txtFromAttributes(attributes),
             (QList<QByteArray>{"Flag", "VrkC1 serial 1000", "empty=", "k=v=w"}));
    // "key" and "key=" are different services' descriptions.
    QVERIFY(!(service("x", "h", 502, {{"x", {}}}) == service("x", "h", 502, {{"x", ""}})));
}

QTEST_GUILESS_MAIN(TestMdnsMessage)
#include "tst_mdnsmessage.moc"
