// ModbusConnection against the simulated control unit over real TCP.
#include "acpu/modbusconnection.h"
#include "acpu/panelmap.h"
#include "model/machine.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QSignalSpy>
#include <QTest>

using namespace Acpu;

namespace {
bool connectTo(ModbusConnection &c, const QString &host)
{
    QSignalSpy states(&c, &Connection::stateChanged);
    c.SetHost(host);
    return QTest::qWaitFor([&c] { return c.State() == Connection::Connected; }, 5000);
}
} // namespace

class TestModbusSim : public QObject
{
    Q_OBJECT
    SimProcess sim;

private slots:
    void initTestCase() { QVERIFY(sim.start({QStringLiteral("--serial"), QStringLiteral("777")})); }

    void intAndFloatRoundTrips()
    {
        ModbusConnection c;
        QVERIFY(connectTo(c, sim.host()));
        QCOMPARE(RunToEnd(c.WriteInt(1100, -1)), QString());
        QCOMPARE(RunToEnd(c.WriteFloat(1101, -2.5f)), QString());
        QCOMPARE(RunToEnd(c.WriteInt(1102, 0x12345678)), QString());
        QCOMPARE(RunToEnd(c.Read({{1100, 3}})), QString());
        QCOMPARE(c.ReadInt(1100), -1);
        QCOMPARE(c.ReadFloat(1101), -2.5f);
        QCOMPARE(c.ReadInt(1102), 0x12345678);
        QCOMPARE(c.ReadFloat(1100), c.ReadFloat(1100)); // bits, no conversion
    }

    void multiChunkRanges()
    {
        ModbusConnection c;
        QVERIFY(connectTo(c, sim.host()));
        // 150 variables travel as 60 + 60 + 30 (120, 120 and 60 registers).
        QList<std::pair<int, float>> items;
        for (int i = 0; i < 150; ++i)
            items.append({2000 + i, float(i) * 0.5f});
        QList<int> progress;
        QCOMPARE(RunToEnd(c.WriteValues(items), &progress), QString());
        QCOMPARE(progress, (QList<int>{40, 80, 100}));
        progress.clear();
        QCOMPARE(RunToEnd(c.Read({{2000, 150}}), &progress), QString());
        QCOMPARE(progress, (QList<int>{40, 80, 100}));
        for (int i = 0; i < 150; ++i)
            QCOMPARE(c.ReadFloat(2000 + i), float(i) * 0.5f);

        // The whole teeth block: 96 chunks, every value where it belongs.
        QList<std::pair<int, float>> teeth;
        for (int i = 8192; i <= 13951; ++i)
            teeth.append({i, float(i)});
        QCOMPARE(RunToEnd(c.WriteValues(teeth)), QString());
        progress.clear();
        QCOMPARE(RunToEnd(c.Read({{8192, 5760}}), &progress), QString());
        QCOMPARE(progress.size(), 96);
        QCOMPARE(progress.last(), 100);
        for (int i = 8192; i <= 13951; ++i) {
            if (c.ReadFloat(i) != float(i))
                QFAIL(
                    qPrintable(QStringLiteral("variable %1 reads %2").arg(i).arg(c.ReadFloat(i))));
        }
    }

    void panelFollowsKeys()
    {
        ModbusConnection c;
        QVERIFY(connectTo(c, sim.host()));
        Acpu::Display display;
        connect(&c, &Connection::pollingFinished, this, [&] { c.GetDisplay(display); });
        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(display.line1(),
                                  QStringLiteral("VRK-C1 S/N 777").leftJustified(20), 3000);
        QCOMPARE(display.line3(), QStringLiteral("No key yet          "));
        QVERIFY(!display.runLed());
        const int before = sim.keyCount();
        c.SendKey('A');
        c.SendKey(0x81); // F1: the Run lamp
        c.SendKey(0x82); // F2: step by step
        QTRY_COMPARE_WITH_TIMEOUT(
            display.line3(), QStringLiteral("Key 82 count %1").arg(before + 3).leftJustified(20),
            3000);
        QCOMPARE(display.line2(), QStringLiteral(">A                  "));
        QVERIFY(display.runLed());
        QVERIFY(display.mode1Led());
        QVERIFY(!display.mode2Led());
        QVERIFY(!display.errorLed());
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
        QVERIFY(other.start({QStringLiteral("--type"), name, QStringLiteral("--model-version"),
                             QStringLiteral("7"), QStringLiteral("--serial"), QStringLiteral("0"),
                             QStringLiteral("--bn"), QStringLiteral("5007"),
                             QStringLiteral("--software"), software}));
        ModbusConnection c;
        QVERIFY(connectTo(c, other.host()));
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

    void exceptionResponseFailsTheRequest()
    {
        SimProcess other;
        QVERIFY(other.start({QStringLiteral("--exception-range"), QStringLiteral("3000:10")}));
        ModbusConnection c;
        QVERIFY(connectTo(c, other.host()));
        QCOMPARE(RunToEnd(c.Read({{2990, 5}})), QString());
        QList<int> progress;
        const QString error = RunToEnd(c.Read({{2900, 200}}), &progress);
        QVERIFY2(!error.isEmpty(), "an exception must fail the request");
        QCOMPARE(progress, (QList<int>{30})); // the first chunk went through, no more
        QVERIFY(!RunToEnd(c.WriteInt(3009, 1)).isEmpty());
        QCOMPARE(c.State(), Connection::Connected);
    }

    void keyReachesSlowMachineOnce()
    {
        // Slower than the response time-out: the write times out here but
        // the machine still acts on it; it must not see it twice.
        SimProcess slow;
        QVERIFY(slow.start({QStringLiteral("--delay"), QStringLiteral("350")}));
        ModbusConnection c;
        QVERIFY(connectTo(c, slow.host()));
        c.SendKey(0x31);
        QTest::qWait(2000);
        QCOMPARE(slow.keyCount(), 1);
    }

    void droppedConnectionFailsAndRecovers()
    {
        SimProcess dropping;
        QVERIFY(dropping.start({QStringLiteral("--drop-after"), QStringLiteral("7")}));
        ModbusConnection c;
        QVERIFY(connectTo(c, dropping.host()));
        QSignalSpy states(&c, &Connection::stateChanged);
        // The eighth chunk never gets an answer: the peer hangs up.
        QVERIFY(!RunToEnd(c.Read({{8192, 1200}})).isEmpty());
        c.StartPolling();
        QTRY_COMPARE_WITH_TIMEOUT(c.State(), Connection::Connected, 3000);
        c.StopPolling();
        QVERIFY(states.size() >= 2);
        QCOMPARE(RunToEnd(c.Read({{256, 14}})), QString());
    }
};

QTEST_GUILESS_MAIN(TestModbusSim)
#include "tst_modbussim.moc"
