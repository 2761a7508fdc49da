// A parameter group read from the simulated control unit whose float variables
// hold NaN and infinity patterns, as unused places of a real one do: its backup
// opens again with those cells empty, and writing the group back the way a
// restore does leaves those variables alone.
#include "acpu/modbusconnection.h"
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "model/rparameters.h"
#include "model/tablemodel.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QTemporaryDir>
#include <QTest>

class TestBackupSim : public QObject
{
    Q_OBJECT

private slots:
    void holesSurviveBackupAndRestore()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        Acpu::ModbusConnection machine;
        machine.SetHost(sim.host());
        QTRY_COMPARE_WITH_TIMEOUT(machine.State(), Acpu::Connection::Connected, 10000);

        // Quiet and signalling NaN, both infinities, a negative NaN; one in
        // the middle of the group so that a restore has to write around it.
        const QList<int> holes = {1792, 1793, 1794, 1795, 1796, 1900};
        auto patterns = [](quint32 nan) {
            return QList<Acpu::Value>{int(nan), int(0x7f800001), int(0x7f800000), int(0xff800000),
                                      int(0xffffffff)};
        };
        QCOMPARE(RunToEnd(machine.Write({{1792, 5}}, patterns(0x7fc00000))), QString());
        QCOMPARE(RunToEnd(machine.WriteFloat(1797, 1.25f)), QString());
        QCOMPARE(RunToEnd(machine.WriteInt(1900, int(0x7fc00000))), QString());
        RParameters group;
        QCOMPARE(RunToEnd(machine.Read({group.variableRange()})), QString());
        group.loadFromMachine(machine);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.vrk"));
        BackupFile file(path);
        QJsonObject section;
        group.toJson(section);
        file.setSection(group.type(), section);
        QVERIFY(file.save());
        BackupDocument document;
        const auto loaded = document.load(path);
        QVERIFY2(loaded, qPrintable(loaded ? QString() : loaded.error()));
        TableModel *model = document.createModel(group.type());
        for (const int variable : holes)
            QCOMPARE(model->index(variable - 1792, 0).data().toString(), QString());
        QCOMPARE(model->index(5, 0).data().toString(), QStringLiteral("1.250000"));

        // The machine changes meanwhile; the restore brings the numbers back
        // and leaves every hole with whatever it holds now.
        QCOMPARE(RunToEnd(machine.Write({{1792, 5}}, patterns(0x7fc0abcd))), QString());
        QCOMPARE(RunToEnd(machine.WriteInt(1900, int(0x7fc0abcd))), QString());
        QCOMPARE(RunToEnd(machine.WriteFloat(1797, 9.0f)), QString());
        QCOMPARE(RunToEnd(machine.WriteValues(document.group(group.type())->definedValues())),
                 QString());
        QCOMPARE(RunToEnd(machine.Read({group.variableRange()})), QString());
        const QList<Acpu::Value> now = patterns(0x7fc0abcd);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(quint32(machine.ReadInt(1792 + i)), Acpu::ValueBits(now.at(i)));
        QCOMPARE(quint32(machine.ReadInt(1900)), 0x7fc0abcdu);
        QCOMPARE(machine.ReadFloat(1797), 1.25f);
    }
};

QTEST_GUILESS_MAIN(TestBackupSim)
#include "tst_backupsim.moc"
