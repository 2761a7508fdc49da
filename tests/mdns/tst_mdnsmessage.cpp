// The codec, compiled with AddressSanitizer: each input sits in a heap buffer
// of exactly its size, so reading one byte too far fails the test.
#include "mdns/service.h"
#include "testdata.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace Mdns;
using namespace TestData;

static Result<Message> parseExact(const QByteArray &bytes)
{
    std::unique_ptr<char[]> buffer(new char[std::max<qsizetype>(bytes.size(), 1)]);
    std::copy(bytes.begin(), bytes.end(), buffer.get());
    return Message::fromWire(QByteArrayView(buffer.get(), bytes.size()));
}

class TestMdnsMessage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void malformed_data();
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
    QVERIFY(parsed);
    QVERIFY(parsed->response && parsed->authoritative);
    QVERIFY(parsed->questions.size() == 1 && parsed->questions[0].name == ModbusType);
    // Every record as it was sent, TTL and cache-flush bit included; names
    // byte for byte (they compare case-insensitively): the same wire again.
    const auto same = [](const QList<Record> &a, const QList<Record> &b) {
        return std::ranges::equal(a, b, [](const Record &x, const Record &y) {
            return x.sameRecord(y) && x.ttl == y.ttl && x.cacheFlush == y.cacheFlush;
        });
    };
    QVERIFY(same(parsed->answers, m.answers) && same(parsed->additionals, m.additionals));
    QCOMPARE(parsed->toWire(), wire);
    // Every cut short of the whole datagram is refused.
    for (qsizetype n = 0; n < wire.size(); ++n)
        QVERIFY2(!parseExact(wire.first(n)), qPrintable(QString::number(n)));
    // A record of a type not handled here is skipped by its length, garbage inside or not.
    QByteArray withUnknown = wire + QByteArray::fromHex("c00c002f8001000000780004c0ffffff");
    ++withUnknown[11]; // one more additional record
    const auto skipped = parseExact(withUnknown);
    QVERIFY(skipped);
    QCOMPARE(skipped->toWire(), wire);

    // Names compare case-insensitively for ASCII only.
    QVERIFY(Name::fromDotted("M1.LOCAL") == Host);
    QVERIFY(!(Name({"\xc5\xbd"}) == Name({"\xc5\xbe"})));
    // What cannot be encoded is refused instead of producing a bad datagram.
    Message bad;
    bad.questions = {Question{Name({QByteArray(64, 'a')}), PTR, ClassIn, false}};
    QVERIFY(bad.toWire().isEmpty());
}

void TestMdnsMessage::malformed_data()
{
    QTest::addColumn<QByteArray>("datagram");
    for (const auto &[name, datagram] : malformedDatagrams())
        QTest::newRow(name) << datagram;
}

void TestMdnsMessage::malformed()
{
    QFETCH(QByteArray, datagram);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 100; ++i)
        QVERIFY(!parseExact(datagram));
    // Generous even under the sanitizer; catches runaway pointer chasing.
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
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
    Service a, b;
    a.addAttribute("x", QByteArray());
    b.addAttribute("x", QByteArray(""));
    QVERIFY(!(a == b));
}

QTEST_GUILESS_MAIN(TestMdnsMessage)
#include "tst_mdnsmessage.moc"
