// ModbusConnection against an independent Modbus TCP server (pymodbus): an
// encoding fault the simulator shares with the client shows here.
#include "acpu/modbusconnection.h"
#include "connectto.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Acpu;
using namespace Qt::StringLiterals;

namespace {
// pymodbus_server.py on a port of its own; ready() waits until it listens.
struct PyServer
{
    explicit PyServer(quint16 port = SimProcess::freePort())
        : port(port), host(u"127.0.0.1:%1"_s.arg(port))
    {
        process.start(u"/usr/bin/python3"_s, {QStringLiteral(VRK6_TEST_DATA "/pymodbus_server.py"),
                                              QString::number(port)});
    }
    ~PyServer() { stop(); }
    bool ready()
    {
        return QTest::qWaitFor(
                   [this] {
                       return process.canReadLine() || process.state() == QProcess::NotRunning;
                   },
                   15000) &&
               process.readLine().startsWith("ready");
    }
    void stop()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    const quint16 port;
    const QString host;
    QProcess process;
};
} // namespace

class TestPymodbus : public QObject
{
    Q_OBJECT
    PyServer server;
    ModbusConnection c;

private slots:
    void initTestCase()
    {
        QVERIFY(server.ready());
        QVERIFY(ConnectTo(c, server.host));
    }

    // Ints and floats in chunks of 60 variables, each where it belongs.
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
    }

    void serverGoneMidReadAndBack()
    {
        auto gone = std::make_unique<PyServer>();
        QVERIFY(gone->ready());
        QList<Connection::ConnectionState> states; // outlives the connection's signals
        ModbusConnection c;
        QVERIFY(ConnectTo(c, gone->host));

        connect(&c, &Connection::stateChanged, this,
                [&states](Connection::ConnectionState s) { states.append(s); });
        // The server goes away after the first of 96 chunks.
        auto read = c.Read({{8192, 5760}});
        QVERIFY(read.has_value());
        connect(
            *read, &Request::progress, this, [&gone] { gone->stop(); }, Qt::SingleShotConnection);
        const QString error = RunToEnd(read, nullptr, 5000);
        QVERIFY2(!error.isEmpty(), "a read cut short must not succeed");
        QVERIFY2(!error.contains(QStringLiteral("finished")), qPrintable(error));

        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Disconnected, 2000);
        PyServer back(gone->port);
        QVERIFY(back.ready());
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 3000);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(states.size() >= 2);
        QCOMPARE(states.last(), Connection::Connected);
        QCOMPARE(states.at(states.size() - 2), Connection::Connecting);
        QVERIFY(states.contains(Connection::Disconnected));
    }
};

QTEST_GUILESS_MAIN(TestPymodbus)
#include "tst_pymodbus.moc"
