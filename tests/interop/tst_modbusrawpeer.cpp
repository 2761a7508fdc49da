// A peer that answers Modbus TCP wrongly: half a frame, a zero length, a
// foreign transaction id, an answer twice. Every request must end exactly
// once, fail where the answer was wrong, and the connection must recover.
#include "acpu/modbusconnection.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QtEndian>

using namespace Acpu;

namespace {
enum class Mode
{
    Normal,
    HeaderOnly,
    LengthZero,
    WrongTid,
    Twice,
    Silent
};

// Answers reads of holding registers; requests for register 20 (variable 10)
// get the faulty treatment, everything else a correct answer.
class RawPeer : public QObject
{
public:
    Mode mode = Mode::Normal;
    QTcpServer server;

    RawPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
        });
    }

private:
    void serve(QTcpSocket *s)
    {
        QByteArray &buffer = buffers[s];
        buffer += s->readAll();
        while (buffer.size() >= 12) {
            const quint16 length = qFromBigEndian<quint16>(buffer.constData() + 4);
            if (buffer.size() < 6 + length)
                return;
            const QByteArray adu = buffer.left(6 + length);
            buffer.remove(0, 6 + length);
            answer(s, adu);
        }
    }

    void answer(QTcpSocket *s, const QByteArray &adu)
    {
        const quint16 tid = qFromBigEndian<quint16>(adu.constData());
        const quint8 function = quint8(adu.at(7));
        const quint16 address = qFromBigEndian<quint16>(adu.constData() + 8);
        const quint16 count = qFromBigEndian<quint16>(adu.constData() + 10);
        QByteArray pdu;
        pdu.append(char(function));
        if (function == 0x03) {
            pdu.append(char(count * 2));
            for (quint16 i = 0; i < count; ++i) {
                pdu.append(char(0));
                pdu.append(char(i + 1));
            }
        } else {
            pdu.append(adu.mid(8, 4));
        }
        const Mode m = address == 20 ? mode : Mode::Normal;
        auto frame = [&](quint16 id, quint16 len) {
            QByteArray f(6, 0);
            qToBigEndian<quint16>(id, f.data());
            qToBigEndian<quint16>(len, f.data() + 4);
            f.append(char(1));
            return f;
        };
        switch (m) {
        case Mode::Normal:
            s->write(frame(tid, quint16(pdu.size() + 1)) + pdu);
            break;
        case Mode::HeaderOnly:
            s->write(frame(tid, quint16(pdu.size() + 1)));
            break;
        case Mode::LengthZero:
            s->write(frame(tid, 0) + pdu);
            break;
        case Mode::WrongTid:
            s->write(frame(quint16(tid + 7), quint16(pdu.size() + 1)) + pdu);
            break;
        case Mode::Twice:
            s->write(frame(tid, quint16(pdu.size() + 1)) + pdu);
            s->write(frame(tid, quint16(pdu.size() + 1)) + pdu);
            break;
        case Mode::Silent:
            break;
        }
    }

    QHash<QTcpSocket *, QByteArray> buffers;
};
} // namespace

class TestModbusRawPeer : public QObject
{
    Q_OBJECT
private slots:
    void eachRequestEndsOnce_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("fails");
        QTest::newRow("header only") << int(Mode::HeaderOnly) << true;
        QTest::newRow("length zero") << int(Mode::LengthZero) << true;
        QTest::newRow("wrong transaction id") << int(Mode::WrongTid) << true;
        QTest::newRow("answered twice") << int(Mode::Twice) << false;
        QTest::newRow("never answered") << int(Mode::Silent) << true;
    }
    void eachRequestEndsOnce()
    {
        QFETCH(int, mode);
        QFETCH(bool, fails);
        RawPeer peer;
        ModbusConnection c;
        c.SetHost(QStringLiteral("127.0.0.1:%1").arg(peer.server.serverPort()));
        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 3000);

        peer.mode = Mode(mode);
        auto result = c.Read({{10, 1}});
        QVERIFY(result.has_value());
        Request *request = *result;
        request->SetAutoDelete(false);
        QSignalSpy finished(request, &Request::finished);
        QElapsedTimer clock;
        clock.start();
        QVERIFY2(finished.wait(5000), "the request was left open");
        QVERIFY(clock.elapsed() < 3000);
        QTest::qWait(1500); // time for a second, wrong finish
        QCOMPARE(finished.size(), 1);
        QCOMPARE(request->ErrorString().isEmpty(), !fails);
        if (!fails)
            QCOMPARE(c.ReadInt(10), 0x00020001);
        delete request;

        // The poll timer brings the transport back; a sound answer arrives.
        peer.mode = Mode::Normal;
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!c.IsBusy(), 3000);
        auto again = c.Read({{10, 1}});
        QVERIFY(again.has_value());
        QString error = QStringLiteral("unfinished");
        connect(*again, &Request::finished, this,
                [&error, r = *again] { error = r->ErrorString(); });
        QTRY_COMPARE_WITH_TIMEOUT(error, QString(), 3000);
        QCOMPARE(c.ReadInt(10), 0x00020001);
    }
};

QTEST_GUILESS_MAIN(TestModbusRawPeer)
#include "tst_modbusrawpeer.moc"
