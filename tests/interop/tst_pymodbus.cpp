// ModbusConnection against an independent Modbus TCP server (pymodbus): an
// encoding fault the simulator shares with the client shows here.
#include "acpu/modbusconnection.h"
#include "connectto.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QProcess>
#include <QTest>

using namespace Acpu;
using namespace Qt::StringLiterals;

class TestPymodbus : public QObject
{
    Q_OBJECT
    QProcess server; // pymodbus_server.py
    ModbusConnection c;

private slots:
    void initTestCase()
    {
        const quint16 port = SimProcess::freePort();
        server.start(u"/usr/bin/python3"_s,
                     {QStringLiteral(VRK6_TEST_DATA "/pymodbus_server.py"), QString::number(port)});
        QVERIFY(QTest::qWaitFor(
            [this] { return server.canReadLine() || server.state() == QProcess::NotRunning; },
            15000));
        QVERIFY(server.readLine().startsWith("ready"));
        QVERIFY(ConnectTo(c, u"127.0.0.1:%1"_s.arg(port)));
    }
    void cleanupTestCase()
    {
        server.kill();
        server.waitForFinished(5000);
    }

    // Ints and floats in chunks of 60 variables, each where it belongs, and
    // the low half of a variable in the lower register (the server's register
    // n holds n).
    void chunkedRoundTrip()
    {
        QList<Value> values;
        for (int i = 0; i < 150; ++i)
            values.append(i % 2 ? Value{float(i) * -0.5f} : Value{-0x12345678 + i * 0x10001});
        QList<int> progress;
        QCOMPARE(RunToEnd(c.Write({{2000, 150}}, values), &progress), QString());
        QCOMPARE(progress, (QList<int>{40, 80, 100}));
        progress.clear();
        QCOMPARE(RunToEnd(c.Read({{2000, 150}}), &progress), QString());
        QCOMPARE(progress, (QList<int>{40, 80, 100}));
        for (int i = 0; i < 150; ++i)
            QCOMPARE(quint32(c.ReadInt(2000 + i)), ValueBits(values.at(i)));
        QCOMPARE(RunToEnd(c.Read({{8193, 1}})), QString());
        QCOMPARE(c.ReadInt(8193), 16387 << 16 | 16386);
    }
};

QTEST_GUILESS_MAIN(TestPymodbus)
#include "tst_pymodbus.moc"
