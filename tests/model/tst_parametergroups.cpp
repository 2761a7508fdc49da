// The parameter groups: their definitions at the boundaries, the machine variables, edits, loading,
// backup sections, and the machine identity that picks the definitions.
#include "acpu/offlineconnection.h"
#include "model/coordsys.h"
#include "model/groupfactory.h"
#include "model/machine.h"
#include "model/rparameters.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"
#include "requestresult.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

const QStringList stateIds = {"Inactive", "MachineMismatch", "Active", "Disabled"};

// Gives every value of the group its index + 1 as the clean state.
void fillClean(ParameterGroup &group)
{
    for (qsizetype i = 0; i < group.valueCount(); ++i)
        group.value(i).reset(double(i + 1));
}

QList<double> valuesAt(const ParameterGroup &group, qsizetype first, qsizetype count = 8)
{
    QList<double> result;
    for (qsizetype i = first; i < first + count; ++i)
        result.append(group.value(i).value());
    return result;
}

} // namespace

class TestParameterGroups : public QObject
{
    Q_OBJECT

private slots:
    // Where a wrong mask or version would show, and the labels of each family.
    void boundaries()
    {
        const Teeth teeth;
        const QHash<QString, QList<ModelItem>> lists = {
            {"techparams rows", TechParameters().items()},
            {"axis columns", Coordsys().columnItems()},
            {"teeth shapes", teeth.shapeItems()},
            {"teeth parameters", teeth.parameterItems()},
            // No definition has a last version yet: one made up for that rule.
            {"last version 7", {{"b", MachineMasks::ZumB1Only, 6, 7}}}};
        const QList<int> yRows = {13, 14, 19, 24, 26, 27}, zumRows = {60, 61, 65, 70, 74, 75},
                         p32to37 = {31, 32, 34, 35, 36}, p38to42 = {37, 38, 39, 40, 41},
                         p43to51 = {42, 44, 46, 48, 50};
        const char *tech = "techparams rows", *params = "teeth parameters";
        using S = ModelItem;
        const std::tuple<const char *, QList<int>, ModelVersion, S::State> cases[] = {
            {tech, yRows, {VrkD1, 6}, S::Active},
            {tech, yRows, {VrkC1, 8}, S::MachineMismatch},
            {tech, zumRows, {ZumB1, 6}, S::Active},
            {tech, zumRows, {VrkA1, 8}, S::MachineMismatch},
            {tech, {76}, {VrkA1, 6}, S::Inactive},
            {tech, {76}, {VrkB2, 7}, S::Active},
            {tech, {77}, {VrkB2, 7}, S::Inactive},
            {tech, {77, 59}, {VrkE1, 8}, S::Active},
            {params, p32to37, {VrkD1, 6}, S::Active},
            {params, p32to37, {VrkA1, 6}, S::MachineMismatch},
            {params, p38to42, {ZumB1, 6}, S::Active},
            {params, p43to51, {VrkA1, 7}, S::Inactive},
            {params, p43to51, {VrkA1, 8}, S::Active},
            {"teeth shapes", {0}, {ZumB1, 8}, S::Active},
            {"teeth shapes", {1, 7}, {ZumB1, 8}, S::MachineMismatch},
            {"teeth shapes", {8}, {VrkD1, 8}, S::Inactive},
            {"last version 7", {0}, {ZumB1, 7}, S::Active},
            {"last version 7", {0}, {ZumB1, 8}, S::Inactive},
        };
        for (const auto &[list, indexes, version, state] : cases) {
            for (int i : indexes) {
                const QString at = QString("%1 %2, %3: ").arg(list).arg(i).arg(version.toString());
                const ModelItem item = lists[list].at(i);
                QCOMPARE(at + stateIds.at(item.state(version)), at + stateIds.at(state));
            }
        }
        const auto axes = [&lists](MachineType type) {
            QStringList result;
            for (const ModelItem &item : lists.value("axis columns"))
                result.append(item.label(ModelVersion(type, 6)));
            return result.join(u',');
        };
        QCOMPARE(axes(VrkA1), QStringLiteral("Z,X,Y,A,Axis 4,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(axes(ZumB1), QStringLiteral("Xu,Yu,Xd,Yd,Z,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(axes(InOutTest),
                 QStringLiteral("Axis 0,Axis 1,Axis 2,Axis 3,Axis 4,Axis 5,Axis 6,Axis 7"));
    }

    // The factory, the section names, the variables of the first and last value.
    void groups()
    {
        const std::tuple<int, const char *, int, int> cases[] = {
            {1, "TechParams", 1024, 256}, {2, "rparams", 1792, 256}, {3, "COORDSYS", 1544, 48},
            {4, "tools", 1280, 80},       {5, "Teeth", 8192, 5760},  {6, "_machine", 0, 0}};
        for (const auto &[tag, name, first, count] : cases) {
            std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
            QCOMPARE(ParameterGroup::tagFromName(name), count ? tag : 0);
            QCOMPARE(!group, !count);
            if (!group)
                continue;
            QCOMPARE(group->name(), QString::fromLatin1(name).toLower());
            QCOMPARE(group->variableRange(), (Acpu::VarRange{first, count}));
            group->value(0).setValue(1.0);
            group->value(count - 1).setValue(2.0);
            QCOMPARE(group->modifiedValues(),
                     (ParameterGroup::VariableValues{{first, 1.0f}, {first + count - 1, 2.0f}}));
        }
    }

    void editsAndRestore()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        ParameterValue v;
        v.reset(1.0);
        v.setValue(1.0000000000001);
        QVERIFY(!v.isModified());
        v.setValue(1.001);
        v.setValue(1.0);
        QVERIFY(v.isModified()); // back to the stored value is still an edit
        v.reset(nan);
        v.setValue(nan);
        QVERIFY(v.isModified()); // a NaN is always replaced

        TechParameters group;
        group.value(5).setValue(12.5);
        group.accept();
        group.value(5).setValue(3.0);
        group.value(200).setValue(4.0);
        group.revert();
        QVERIFY(!group.isModified());
        QCOMPARE(group.value(5).value() + group.value(200).value(), 12.5);
        // Edits that are no machine value are never written.
        group.value(9).setValue(nan);
        group.value(11).setValue(1.5);
        QCOMPARE(group.modifiedValues(), (ParameterGroup::VariableValues{{1035, 1.5f}}));
    }

    // Values come from the cache of a real (offline) connection after a read.
    void loadFromMachine()
    {
        Acpu::OfflineConnection connection;
        Coordsys group;
        QCOMPARE(RunToEnd(connection.WriteValues({{1544, 1.5f}, {1551, -2.25f}, {1591, 7.0f}})),
                 QString());
        QCOMPARE(RunToEnd(connection.Read({group.variableRange()})), QString());
        group.value(1).setValue(99.0);
        QSignalSpy any(&group, &ParameterGroup::DataChanged);
        group.loadFromMachine(connection);
        QCOMPARE(any.count(), 1);
        QVERIFY(!group.isModified());
        QCOMPARE(valuesAt(group, 0), (QList<double>{1.5, 0, 0, 0, 0, 0, 0, -2.25}));
        QCOMPARE(group.value(47).storedValue(), 7.0);
    }

    // Missing keys, short arrays and wrong types, as stored and as edits.
    void incompleteSections()
    {
        RParameters r;
        r.fromJson({{"values", QJsonArray{5.5, "x", 7}}}, true);
        QVERIFY(!r.isModified());
        QCOMPARE(valuesAt(r, 0, 4), (QList<double>{5.5, 0, 7, 0}));

        Coordsys coordsys; // only G57, with five numbers
        fillClean(coordsys);
        coordsys.fromJson({{"G57", QJsonArray{-1, -2, -3, -4, -5}}}, true);
        QCOMPARE(valuesAt(coordsys, 16, 16),
                 (QList<double>{17, 18, 19, 20, 21, 22, 23, 24, -1, -2, -3, -4, -5, 0, 0, 0}));
        QVERIFY(!coordsys.isModified());
        coordsys.fromJson({{"G54", "nonsense"}}, false);
        QCOMPARE(valuesAt(coordsys, 0), QList<double>(8, 0.0));
        QCOMPARE(coordsys.modifiedValues().size(), 8);

        Tools tools;
        tools.fromJson({{"T0", QJsonArray{-1}}, {"T3", QJsonArray{1, 2, 3, 4, 5, 6, 7, 8}}}, false);
        QCOMPARE(tools.modifiedValues().size(), 8);
        QCOMPARE(tools.modifiedValues().first(), (std::pair<int, float>(1280 + 3 * 8, 1.0f)));

        Teeth teeth; // L2 tooth 3 only; unknown teeth and shapes change nothing
        fillClean(teeth);
        const QJsonObject l2{{"T3", QJsonArray{-7, -8}}, {"T10", QJsonArray{1}}};
        teeth.fromJson({{"L2", l2}, {"L10", QJsonObject{{"T0", QJsonArray{1}}}}}, false);
        const qsizetype base = 1 * 640 + 3 * 64;
        QCOMPARE(valuesAt(teeth, base - 1, 4), (QList<double>{double(base), -7, -8, 0}));
        QCOMPARE(teeth.modifiedValues().size(), 64);
        // A shape that is no object has no teeth; a tooth no array reads as zeros.
        teeth.fromJson({{"L1", 4}, {"L9", QJsonObject{{"T9", true}}}}, true);
        QCOMPARE(valuesAt(teeth, 0, 1), QList<double>{1});
        QCOMPARE(valuesAt(teeth, 5759 - 64, 2), (QList<double>{5759 - 63, 0}));
    }

    // The identification block as the control unit holds it.
    void machineIdentity()
    {
        // family, model, data model, S/N, B/N
        const std::tuple<int, int, int, int, int, QString> cases[] = {
            {1, 1, 7, 1234, 5007, "VRK-A1 (v. 7), S/N: 1234"},
            {1, 6, 6, 0, 5007, "VRK-C1 (v. 6), B/N: 005-007"},
            {1, 0, 7, 0, 12, "Test IN-OUT (v. 7), B/N: 000-012"},
            {1, 7, 7, 9, 0, "Unknown (v. 7), S/N: 9"},
            {3, 1, 7, 0, 0, "ZUM-B1 (v. 7), B/N: 000-000"},
            {4, 1, 8, 1, 0, "VRK-D1 (v. 8), S/N: 1"},
            {4, 0, 7, 1, 0, "Test IN-OUT (v. 7), S/N: 1"},
            {4, 2, 7, 1, 0, "VRK-E1 (v. 7), S/N: 1"},
            {2, 1, 7, 1, 0, "Unknown (v. 7), S/N: 1"},
        };
        for (const auto &[family, model, dataModel, serial, bn, expected] : cases) {
            Acpu::OfflineConnection connection;
            // From 258: B/N, 3 more, family, 1 more, model, S/N, software, 1 more, data model.
            QCOMPARE(RunToEnd(connection.Write({{258, 12}}, {bn, 0, 0, 0, family, 0, model, serial,
                                                             615, 0, dataModel, 0})),
                     QString());
            Machine machine(&connection);
            QVERIFY(machine.updateIdentification());
            QCOMPARE(machine.modelVersion().toString() + ", " + machine.identText(), expected);
        }
        QCOMPARE(ModelVersion(), ModelVersion(Unknown, 0)); // validity takes no part
        QVERIFY(ModelVersion(VrkA1, 7) != ModelVersion(VrkA1, 8));
        QVERIFY(ModelVersion(VrkA1, 7) != ModelVersion(VrkB1, 7));
    }
};

QTEST_GUILESS_MAIN(TestParameterGroups)
#include "tst_parametergroups.moc"
