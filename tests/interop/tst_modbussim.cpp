// ModbusConnection against the simulated control unit over real TCP: the
// panel, and identification of every type.
#include "acpu/modbusconnection.h"
#include "connectto.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simprocess.h"

using namespace Acpu;

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
};

QTEST_GUILESS_MAIN(TestModbusSim)
#include "tst_modbussim.moc"
