// What the Modbus connection decides without a peer: host strings, the
// display's character set, poll ranges, and refusing work while closed.
#include "acpu/hostport.h"
#include "acpu/modbusconnection.h"
#include "acpu/panelmap.h"

#include <QTest>

using namespace Acpu;

class TestModbusUnit : public QObject
{
    Q_OBJECT
private slots:
    void hostStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("urlHost");
        QTest::newRow("ipv4") << "10.0.0.5" << true << "10.0.0.5" << 502 << "10.0.0.5";
        QTest::newRow("ipv4 port") << "10.0.0.5:1502" << true << "10.0.0.5" << 1502 << "10.0.0.5";
        QTest::newRow("name") << "m1.local" << true << "m1.local" << 502 << "m1.local";
        QTest::newRow("bare ipv6") << "fe80::1" << true << "fe80::1" << 502 << "[fe80::1]";
        QTest::newRow("bracketed ipv6") << "[::1]" << true << "::1" << 502 << "[::1]";
        QTest::newRow("ipv6 port") << "[fe80::1]:1502" << true << "fe80::1" << 1502 << "[fe80::1]";
        QTest::newRow("spaces") << "  10.0.0.5  " << true << "10.0.0.5" << 502 << "10.0.0.5";
        QTest::newRow("empty") << "" << false << "" << 0 << "";
        QTest::newRow("port zero") << "h:0" << false << "" << 0 << "";
        QTest::newRow("port too big") << "h:70000" << false << "" << 0 << "";
        QTest::newRow("port not a number") << "h:abc" << false << "" << 0 << "";
        QTest::newRow("no host") << ":502" << false << "" << 0 << "";
        QTest::newRow("unclosed bracket") << "[::1" << false << "" << 0 << "";
        QTest::newRow("junk after bracket") << "[::1]x" << false << "" << 0 << "";
        QTest::newRow("ipv4 in brackets") << "[10.0.0.1]" << false << "" << 0 << "";
    }
    void hostStrings()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto parsed = ParseHostPort(text, 502);
        QCOMPARE(parsed.has_value(), valid);
        if (!valid)
            return;
        QTEST(parsed->host, "host");
        QTEST(int(parsed->port), "port");
        QTEST(parsed->urlHost(), "urlHost");
    }

    void displayBytes()
    {
        QCOMPARE(PanelMap::DecodeByte(0x41), QChar(u'A'));
        QCOMPARE(PanelMap::DecodeByte(0x20), QChar(u' '));
        QCOMPARE(PanelMap::DecodeByte(0x7D), QChar(u'}'));
        QCOMPARE(PanelMap::DecodeByte(0xB1), QChar(char16_t(0xFF71)));
        QCOMPARE(PanelMap::DecodeByte(0xA1), QChar(char16_t(0xFF61)));
        QCOMPARE(PanelMap::DecodeByte(0xDF), QChar(char16_t(0xFF9F)));
        for (int blank : {0x00, 0x1F, 0x80, 0xA0, 0xE0, 0xFF})
            QCOMPARE(PanelMap::DecodeByte(quint8(blank)), QChar(u' '));
        const QChar tilde = PanelMap::DecodeByte(0x7E), del = PanelMap::DecodeByte(0x7F);
        QVERIFY(tilde != del);
        QVERIFY(tilde.unicode() > 0x7F && del.unicode() > 0x7F);
        // Every byte the display can show survives the way back.
        for (int b = 0; b < 256; ++b) {
            const QChar c = PanelMap::DecodeByte(quint8(b));
            if (c != QChar(u' '))
                QCOMPARE(int(PanelMap::EncodeChar(c)), b);
        }
    }

    void pollRanges()
    {
        ModbusConnection c;
        QCOMPARE(c.PollRanges(), (VarRanges{{800, 1}, {4096, 20}}));
        QCOMPARE(c.State(), Connection::Disconnected);
    }

    void refusesWhileClosed()
    {
        ModbusConnection c;
        QCOMPARE(c.Read({{0, 1}}).error(), Connection::NotConnected);
        QCOMPARE(c.WriteInt(0, 1).error(), Connection::NotConnected);
        QVERIFY(!c.IsBusy());
        c.SendKey(0x0D); // ignored, no crash
        c.Close();
        c.Close(); // twice is safe
        QCOMPARE(c.Read({{0, 1}}).error(), Connection::NotConnected);
        QVERIFY_THROWS_EXCEPTION(std::bad_expected_access<Connection::Error>,
                                 (void)c.Read({{0, 1}}).value());
    }
};

QTEST_GUILESS_MAIN(TestModbusUnit)
#include "tst_modbusunit.moc"
