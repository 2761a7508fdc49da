// ModbusConnection over TCP against the simulator (panel, every type, a machine
// that goes away) and pymodbus, where a fault shared with the simulator shows.
#include "acpu/modbusconnection.h"
#include "connectto.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QProcess>

using namespace Acpu;
using namespace Qt::StringLiterals;

class TestModbusSim : public QObject
{
    Q_OBJECT
    SimProcess sim;

private slots:
    void initTestCase() { QVERIFY(sim.start({"--serial", "777"})); }

    void panelFollowsKeys()
    {
        ModbusConnection c;
        QVERIFY(ConnectTo(c, sim.host()));
        Acpu::Display display;
        connect(&c, &Connection::pollingFinished, this, [&] { c.GetDisplay(display); });
        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(display.line1(),
                                  QStringLiteral("VRK-C1 S/N 777").leftJustified(20), 3000);
        QVERIFY(!display.runLed());
        const int before = sim.keyCount();
        c.SendKey('A');
        c.SendKey(0x81); // F1: the Run lamp
        c.SendKey(0x82); // F2: step by step
        QTRY_COMPARE_WITH_TIMEOUT(
            display.line3(), QStringLiteral("Key 82 count %1").arg(before + 3).leftJustified(20),
            3000);
        QCOMPARE(display.line2(), QStringLiteral(">A                  "));
        QVERIFY(display.runLed() && display.mode1Led() && !display.mode2Led() &&
                !display.errorLed());
        QCOMPARE(display.line4(), QStringLiteral("Mode: step by step  "));
    }

    void identificationOfEveryType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("software");
        for (unsigned t = 0; t < MachineTypeCount; ++t)
            QTest::newRow(qPrintable(MachineDescription::machineTypeName(MachineType(t))))
                << MachineDescription::machineTypeName(MachineType(t)) << int(t) << "615";
        // Below 6.00 the block is not taken: the machine stays unidentified.
        QTest::newRow("old software") << "VrkA1" << -1 << "599";
    }
    void identificationOfEveryType()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QString, software);
        SimProcess other;
        QVERIFY(other.start({"--type", name, "--model-version", "7", "--serial", "0", "--bn",
                             "5007", "--software", software}));
        ModbusConnection c;
        QVERIFY(ConnectTo(c, other.host()));
        Machine machine(&c);
        QCOMPARE(RunToEnd(machine.requestIdentification()), QString());
        QCOMPARE(machine.updateIdentification(), type >= 0);
        if (type < 0) {
            QVERIFY(!machine.modelVersion().isValid());
            return;
        }
        QCOMPARE(int(machine.machineType()), type);
        QCOMPARE(machine.modelVersion(), ModelVersion(MachineType(type), 7));
        QCOMPARE(machine.identText(), QStringLiteral("B/N: 005-007"));
        QCOMPARE(machine.softwareText(), QStringLiteral("SW: 6.15"));
    }

    // The simulator goes away during a chunked read: the read fails once, and
    // polling connects again as soon as it is back.
    void serverGoneMidReadAndBack()
    {
        SimProcess gone;
        QVERIFY(gone.start());
        ModbusConnection c;
        QVERIFY(ConnectTo(c, gone.host()));
        // Gone after the first of 96 chunks.
        auto read = c.Read({{8192, 5760}});
        QVERIFY(read.has_value());
        connect(
            *read, &Request::progress, this, [&gone] { gone.stop(); }, Qt::SingleShotConnection);
        const QString error = RunToEnd(read, nullptr, 5000);
        QVERIFY2(!error.isEmpty(), "a read cut short must not succeed");
        QVERIFY2(!error.contains(QStringLiteral("finished")), qPrintable(error));

        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Disconnected, 2000);
        QVERIFY(gone.start({}, gone.port()));
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 1500);
    }

    // Ints and floats in chunks of 60 variables, each where it belongs, and
    // the low half of a variable in the lower register (the server's register
    // n holds n).
    void chunkedRoundTrip()
    {
        QProcess server;
        const quint16 port = SimProcess::freePort();
        server.start(u"/usr/bin/python3"_s,
                     {QStringLiteral(VRK6_TEST_DATA "/pymodbus_server.py"), QString::number(port)});
        QVERIFY(QTest::qWaitFor(
            [&] { return server.canReadLine() || server.state() == QProcess::NotRunning; }, 15000));
        QVERIFY(server.readLine().startsWith("ready"));
        ModbusConnection c;
        QVERIFY(ConnectTo(c, u"127.0.0.1:%1"_s.arg(port)));

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

QTEST_GUILESS_MAIN(TestModbusSim)
#include "tst_modbussim.moc"
