// Parameter values and groups: edits, the factory, loading from a
// connection's cache, the lists written to a machine, and backup sections.
#include "acpu/offlineconnection.h"
#include "model/coordsys.h"
#include "model/rparameters.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

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

bool finishes(Acpu::Connection::Result result)
{
    QSignalSpy finished(result.value_or(nullptr), &Acpu::Request::finished);
    return result && finished.wait(2000) && (*result)->ErrorString().isEmpty();
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

class TestParameterGroups : public QObject
{
    Q_OBJECT

private slots:
    void valueEdits()
    {
        ParameterValue v;
        v.reset(1.0);
        v.setValue(1.0000000000001);
        QVERIFY(!v.isModified());
        v.setValue(1.001);
        v.setValue(1.0);
        QVERIFY(v.isModified()); // back to the stored value is still an edit
        v.revert();
        QCOMPARE(v.value(), 1.0);
        QVERIFY(!v.isModified());
        v.setValue(2.5);
        v.accept();
        QCOMPARE(v.storedValue(), 2.5);
        QVERIFY(!v.isModified());
        v.reset(notANumber);
        v.setValue(notANumber);
        QVERIFY(v.isModified()); // a NaN is always replaced
    }

    void factoryAndNames()
    {
        const QStringList names = {"techparams", "rparams", "coordsys", "tools", "teeth"};
        const QStringList titles = {"Technological Parameters", "R Parameters", "G54 - G59",
                                    "Tools Parameters", "Teeth Parameters"};
        for (int tag = 1; tag <= 5; ++tag) {
            std::unique_ptr<ParameterGroup> group(ParameterGroup::create(tag));
            QCOMPARE(group->type(), tag);
            QCOMPARE(group->name(), names.at(tag - 1));
            QCOMPARE(group->title(), titles.at(tag - 1));
            QCOMPARE(ParameterGroup::tagFromName(names.at(tag - 1).toUpper()), tag);
        }
        QVERIFY(!ParameterGroup::create(0));
        QVERIFY(!ParameterGroup::create(6));
        QCOMPARE(ParameterGroup::tagFromName("Teeth"), 5);
        QCOMPARE(ParameterGroup::tagFromName("g54"), 0);
        QCOMPARE(ParameterGroup::tagFromName("_machine"), 0);
    }

    // Values come from the cache of a real (offline) connection after a read.
    void loadFromMachine()
    {
        Acpu::OfflineConnection connection;
        QVERIFY(connection.Open());
        Coordsys group;
        QVERIFY(finishes(connection.WriteValues({{1544, 1.5f}, {1551, -2.25f}, {1591, 7.0f}})));
        QVERIFY(finishes(connection.Read({group.variableRange()})));
        group.value(1).setValue(99.0);
        QSignalSpy whole(&group, &ParameterGroup::DataChangedPrivate);
        QSignalSpy any(&group, &ParameterGroup::DataChanged);
        group.loadFromMachine(connection);
        QCOMPARE(whole.count(), 1);
        QCOMPARE(any.count(), 1);
        QVERIFY(!group.isModified());
        QCOMPARE(valuesAt(group, 0), (QList<double>{1.5, 0, 0, 0, 0, 0, 0, -2.25}));
        QCOMPARE(group.value(47).storedValue(), 7.0);
    }

    void modifiedAndDefinedValues()
    {
        TechParameters group;
        QVERIFY(group.modifiedValues().isEmpty());
        QSignalSpy whole(&group, &ParameterGroup::DataChangedPrivate);
        group.value(5).setValue(12.5);
        QCOMPARE(group.modifiedValues(), (ParameterGroup::VariableValues{{1029, 12.5f}}));
        group.accept();
        group.value(5).setValue(3.0);
        group.value(200).setValue(4.0);
        group.revert();
        QCOMPARE(whole.count(), 2);
        QVERIFY(!group.isModified());
        QCOMPARE(group.value(5).value(), 12.5);
        QCOMPARE(group.value(200).value(), 0.0);

        // A restore writes no NaN, no infinity, and nothing that a 32-bit float
        // would turn into one.
        QCOMPARE(group.definedValues().size(), 256);
        group.value(0).reset(notANumber);
        group.value(1).reset(std::numeric_limits<double>::infinity());
        group.value(2).reset(-1e300);
        group.value(3).reset(3e38);
        const auto defined = group.definedValues();
        QCOMPARE(defined.size(), 253);
        QCOMPARE(defined.first(), (std::pair<int, float>(1027, 3e38f)));
    }

    // The shared "values" layout of tags 1 and 2.
    void valuesSection()
    {
        RParameters group;
        fillClean(group);
        QJsonObject section{{"other", 1}, {"values", 2}};
        group.toJson(section);
        QCOMPARE(section.value("other").toInt(), 1);
        QCOMPARE(section.value("values").toArray().size(), 256);
        QCOMPARE(section.value("values").toArray().at(255).toDouble(), 256.0);

        // A short array with a wrong element, as stored: the rest reads as 0.0.
        group.fromJson({{"values", QJsonArray{5.5, "x", 7}}}, true);
        QVERIFY(!group.isModified());
        QCOMPARE(valuesAt(group, 0, 4), (QList<double>{5.5, 0, 7, 0}));
        QCOMPARE(group.value(255).storedValue(), 0.0);

        // Without "values", as edits: every non-zero value becomes a 0.0 edit.
        TechParameters tech;
        fillClean(tech);
        tech.value(10).reset(0.0);
        QSignalSpy any(&tech, &ParameterGroup::DataChanged);
        tech.fromJson({}, false);
        QCOMPARE(any.count(), 1);
        QCOMPARE(tech.modifiedValues().size(), 255);
        QCOMPARE(tech.value(0).storedValue(), 1.0);
        fillClean(tech);
        tech.fromJson({{"values", 3}}, true); // wrong type: an empty array
        QCOMPARE(tech.value(100).value(), 0.0);
    }

    void coordsysAndToolsSections()
    {
        Coordsys coordsys;
        fillClean(coordsys);
        QJsonObject written;
        coordsys.toJson(written);
        QCOMPARE(written.keys(), (QStringList{"G54", "G55", "G56", "G57", "G58", "G59"}));
        QCOMPARE(written.value("G59").toArray(), (QJsonArray{41, 42, 43, 44, 45, 46, 47, 48}));
        // Only G57 with five numbers: row 3 changes, its axes 5 to 7 become 0.
        coordsys.fromJson({{"G57", QJsonArray{-1, -2, -3, -4, -5}}}, true);
        QCOMPARE(valuesAt(coordsys, 24), (QList<double>{-1, -2, -3, -4, -5, 0, 0, 0}));
        QCOMPARE(valuesAt(coordsys, 16), (QList<double>{17, 18, 19, 20, 21, 22, 23, 24}));
        QVERIFY(!coordsys.isModified());
        coordsys.fromJson({{"G54", "nonsense"}}, false); // wrong type: zeros
        QCOMPARE(valuesAt(coordsys, 0), QList<double>(8, 0.0));
        QCOMPARE(coordsys.modifiedValues().size(), 8);

        Tools tools;
        fillClean(tools);
        written = {{"T0", 5}};
        tools.toJson(written);
        QCOMPARE(written.size(), 10); // T1 to T9 plus what was there
        QCOMPARE(written.value("T0").toInt(), 5);
        QCOMPARE(written.value("T1").toArray().first().toDouble(), 9.0);
        const QJsonArray row = {1, 2, 3, 4, 5, 6, 7, 8};
        tools.fromJson({{"T0", QJsonArray{-1, -1}}, {"T3", row}}, false);
        QCOMPARE(valuesAt(tools, 0), (QList<double>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(valuesAt(tools, 24), (QList<double>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(tools.modifiedValues().size(), 8);
        QCOMPARE(tools.modifiedValues().first().first, 1280 + 3 * 8);
    }

    void teethSection()
    {
        Teeth group;
        QJsonObject written;
        group.toJson(written);
        QCOMPARE(written.size(), 9);
        int arrays = 0;
        for (const QJsonValue &shape : written) {
            QCOMPARE(shape.toObject().size(), 10);
            for (const QJsonValue &tooth : shape.toObject()) {
                QCOMPARE(tooth.toArray().size(), 64);
                arrays += tooth.toArray().at(63).toDouble(-1) == 0.0;
            }
        }
        QCOMPARE(arrays, 90);
        QVERIFY(written.contains("L9") && written.value("L1").toObject().contains("T9"));

        fillClean(group);
        // L2 tooth 3 only; unknown teeth and shapes change nothing.
        const QJsonObject l2{{"T3", QJsonArray{-7, -8}}, {"T10", QJsonArray{1}}};
        group.fromJson({{"L2", l2}, {"L10", QJsonObject{{"T0", QJsonArray{1}}}}}, false);
        const qsizetype base = 1 * 640 + 3 * 64;
        QCOMPARE(valuesAt(group, base - 1, 4), (QList<double>{double(base), -7, -8, 0}));
        QCOMPARE(group.modifiedValues().size(), 64);
        QCOMPARE(group.modifiedValues().first().first, 8192 + int(base));

        // A shape that is no object has no teeth; a tooth that is no array
        // reads as zeros.
        group.fromJson({{"L1", 4}, {"L9", QJsonObject{{"T9", true}}}}, true);
        QCOMPARE(group.value(0).value(), 1.0);
        QCOMPARE(valuesAt(group, 5759 - 64, 2), (QList<double>{5759 - 63, 0}));
    }
};

QTEST_GUILESS_MAIN(TestParameterGroups)
#include "tst_parametergroups.moc"
