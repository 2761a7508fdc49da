// ModbusConnection against an independent Modbus TCP server (pymodbus).
#include "acpu/modbusconnection.h"
#include "model/machine.h"
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
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(VRK6_TEST_DATA "/pymodbus_server.py"), QString::number(port)});
        return process.waitForStarted(5000) &&
               QTest::qWaitFor([this] { return process.readAllStandardOutput().contains("ready") ||
                                               process.state() == QProcess::NotRunning; }, 15000) &&
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

struct Outcome
{
    bool done = false;
    int finishes = 0;
    QString error;
};

Outcome *track(QObject *context, Connection::Result result)
{
    auto *outcome = new Outcome;
    if (!result) {
        outcome->done = true;
        outcome->error = QStringLiteral("not connected");
        return outcome;
    }
    Request *request = *result;
    QObject::connect(request, &Request::finished, context, [outcome, request] {
        outcome->done = true;
        ++outcome->finishes;
        outcome->error = request->ErrorString();
    });
    return outcome;
}
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
        std::unique_ptr<Outcome> ident(track(this, machine.requestIdentification()));
        QTRY_VERIFY_WITH_TIMEOUT(ident->done, 5000);
        QCOMPARE(ident->error, QString());
        QVERIFY(machine.updateIdentification());
        QCOMPARE(machine.modelVersion(), ModelVersion(VrkA1, 7));
        QCOMPARE(machine.identText(), QStringLiteral("S/N: 4321"));

        // Registers from 30000 on do not exist there: an exception response.
        std::unique_ptr<Outcome> bad(track(this, c.Read({{14990, 20}})));
        QTRY_VERIFY_WITH_TIMEOUT(bad->done, 5000);
        QVERIFY(!bad->error.isEmpty());
        QCOMPARE(bad->finishes, 1);
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
        std::unique_ptr<Outcome> read(track(this, c.Read({{8192, 5760}})));
        QTRY_VERIFY_WITH_TIMEOUT(c.IsBusy(), 2000);
        QTest::qWait(30);
        server->stop();
        QTRY_VERIFY_WITH_TIMEOUT(read->done, 5000);
        QVERIFY2(!read->error.isEmpty(), "a read cut short must not succeed");
        QTest::qWait(300);
        QCOMPARE(read->finishes, 1);

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
