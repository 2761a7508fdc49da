// ModbusConnection against an independent Modbus TCP server (pymodbus).
#include "acpu/modbusconnection.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Acpu;

namespace {
class PyServer
{
public:
    explicit PyServer(quint16 port) : port(port) {}
    ~PyServer() { stop(); }
    bool start()
    {
        process.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(VRK6_TEST_DATA "/pymodbus_server.py"), QString::number(port)});
        return process.waitForStarted(5000) &&
               QTest::qWaitFor(
                   [this] {
                       return process.readAllStandardOutput().contains("ready") ||
                              process.state() == QProcess::NotRunning;
                   },
                   15000) &&
               process.state() == QProcess::Running;
    }
    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill();
        process.waitForFinished(5000);
    }
    const quint16 port;

private:
    QProcess process;
};

} // namespace

class TestPymodbus : public QObject
{
    Q_OBJECT
private slots:
    void identificationAndExceptions()
    {
        PyServer server(SimProcess::freePort());
        QVERIFY(server.start());
        ModbusConnection c;
        c.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.port));
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 5000);

        Machine machine(&c);
        QCOMPARE(RunToEnd(machine.requestIdentification()), QString());
        QVERIFY(machine.updateIdentification());
        QCOMPARE(machine.modelVersion(), ModelVersion(VrkA1, 7));
        QCOMPARE(machine.identText(), QStringLiteral("S/N: 4321"));

        // Registers from 30000 on do not exist there: an exception response.
        const QString error = RunToEnd(c.Read({{14990, 20}}));
        QVERIFY(!error.isEmpty());
        QVERIFY(!error.contains(QStringLiteral("finished")));
    }

    void serverGoneMidReadAndBack()
    {
        const quint16 port = SimProcess::freePort();
        auto server = std::make_unique<PyServer>(port);
        QVERIFY(server->start());
        QList<Connection::ConnectionState> states; // outlives the connection's signals
        ModbusConnection c;
        c.SetHost(QStringLiteral("127.0.0.1:%1").arg(port));
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 5000);

        connect(&c, &Connection::stateChanged, this,
                [&states](Connection::ConnectionState s) { states.append(s); });
        // The server goes away after the first of 96 chunks.
        auto read = c.Read({{8192, 5760}});
        QVERIFY(read.has_value());
        connect(
            *read, &Request::progress, this, [&server] { server->stop(); },
            Qt::SingleShotConnection);
        const QString error = RunToEnd(read, nullptr, 5000);
        QVERIFY2(!error.isEmpty(), "a read cut short must not succeed");
        QVERIFY2(!error.contains(QStringLiteral("finished")), qPrintable(error));

        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Disconnected, 2000);
        server = std::make_unique<PyServer>(port);
        QVERIFY(server->start());
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
