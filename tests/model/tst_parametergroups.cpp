// Parameter values and groups: edits, the factory, loading from a
// connection's cache, the lists written to a machine, and backup sections.
#include "acpu/offlineconnection.h"
#include "model/coordsys.h"
#include "model/parametergroup.h"
#include "model/rparameters.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

QJsonArray numbers(std::initializer_list<double> list)
{
    QJsonArray array;
    for (double n : list)
        array.append(n);
    return array;
}

// Gives every value of the group its index + 1 as the clean state.
void fillClean(ParameterGroup &group)
{
    for (qsizetype i = 0; i < group.valueCount(); ++i)
        group.value(i).reset(double(i + 1));
}

QList<double> rowValues(const ParameterGroup &group, qsizetype row, qsizetype columns = 8)
{
    QList<double> result;
    for (qsizetype c = 0; c < columns; ++c)
        result.append(group.value(row * columns + c).value());
    return result;
}

bool finishes(Acpu::Connection::Result result)
{
    if (!result)
        return false;
    QSignalSpy finished(*result, &Acpu::Request::finished);
    return finished.wait(2000) && (*result)->ErrorString().isEmpty();
}

} // namespace

class TestParameterGroups : public QObject
{
    Q_OBJECT

private slots:
    void valueEdits()
    {
        ParameterValue v;
        QCOMPARE(v.value(), 0.0);
        QVERIFY(!v.isModified());
        v.reset(1.0);
        v.setValue(1.0000000000001);
        QVERIFY(!v.isModified());
        QCOMPARE(v.value(), 1.0);
        v.setValue(1.001);
        QVERIFY(v.isModified());
        v.setValue(1.0);
        QVERIFY(v.isModified()); // back to the stored value is still an edit
        v.revert();
        QVERIFY(!v.isModified());
        QCOMPARE(v.value(), 1.0);
        v.setValue(2.5);
        v.accept();
        QVERIFY(!v.isModified());
        QCOMPARE(v.storedValue(), 2.5);

        const double nan = std::numeric_limits<double>::quiet_NaN();
        v.reset(nan);
        v.setValue(0.0);
        QVERIFY(v.isModified());
        QCOMPARE(v.value(), 0.0);
        v.reset(nan);
        v.setValue(nan);
        QVERIFY(v.isModified());
    }

    void factoryAndNames()
    {
        const QStringList names = {"techparams", "rparams", "coordsys", "tools", "teeth"};
        const QStringList titles = {"Technological Parameters", "R Parameters", "G54 - G59",
                                    "Tools Parameters", "Teeth Parameters"};
        for (int tag = 1; tag <= 5; ++tag) {
            std::unique_ptr<ParameterGroup> group(ParameterGroup::create(tag));
            QVERIFY(group);
            QCOMPARE(group->type(), tag);
            QCOMPARE(group->name(), names.at(tag - 1));
            QCOMPARE(group->title(), titles.at(tag - 1));
            QCOMPARE(ParameterGroup::tagFromName(names.at(tag - 1).toUpper()), tag);
        }
        QVERIFY(!ParameterGroup::create(0));
        QVERIFY(!ParameterGroup::create(6));
        QVERIFY(!ParameterGroup::create(-1));
        QCOMPARE(ParameterGroup::tagFromName("Teeth"), 5);
        QCOMPARE(ParameterGroup::tagFromName("g54"), 0);
        QCOMPARE(ParameterGroup::tagFromName(""), 0);
        QCOMPARE(ParameterGroup::tagFromName("_machine"), 0);

        QObject owner;
        QPointer<ParameterGroup> owned = ParameterGroup::create(4, &owner);
        QCOMPARE(owned->parent(), &owner);
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
        QCOMPARE(group.value(0).value(), 1.5);
        QCOMPARE(group.value(1).value(), 0.0);
        QCOMPARE(group.value(7).value(), -2.25);
        QCOMPARE(group.value(47).storedValue(), 7.0);
    }

    void modifiedAndDefinedValues()
    {
        TechParameters group;
        QVERIFY(group.modifiedValues().isEmpty());
        QCOMPARE(group.definedValues().size(), 256);

        QSignalSpy whole(&group, &ParameterGroup::DataChangedPrivate);
        group.value(5).setValue(12.5);
        QVERIFY(group.isModified());
        QCOMPARE(group.modifiedValues(),
                 (ParameterGroup::VariableValues{std::pair<int, float>(1029, 12.5f)}));
        group.accept();
        QCOMPARE(whole.count(), 1);
        QVERIFY(!group.isModified());
        QCOMPARE(group.value(5).storedValue(), 12.5);

        group.value(5).setValue(3.0);
        group.value(200).setValue(4.0);
        group.revert();
        QCOMPARE(whole.count(), 2);
        QCOMPARE(group.value(5).value(), 12.5);
        QCOMPARE(group.value(200).value(), 0.0);

        // A restore writes no NaN, no infinity, and nothing that a 32-bit float
        // would turn into one.
        group.value(0).reset(std::numeric_limits<double>::quiet_NaN());
        group.value(1).reset(std::numeric_limits<double>::infinity());
        group.value(2).reset(-1e300);
        group.value(3).reset(3e38);
        const auto defined = group.definedValues();
        QCOMPARE(defined.size(), 253);
        QCOMPARE(defined.first(), (std::pair<int, float>(1027, 3e38f)));
        QCOMPARE(defined.at(2), (std::pair<int, float>(1029, 12.5f)));
    }

    // The shared "values" layout of tags 1 and 2.
    void valuesSection()
    {
        RParameters group;
        fillClean(group);
        QJsonObject section{{"other", 1}};
        group.toJson(section);
        QCOMPARE(section.value("other").toInt(), 1);
        QCOMPARE(section.value("values").toArray().size(), 256);
        QCOMPARE(section.value("values").toArray().at(255).toDouble(), 256.0);

        // A short array with a wrong element: the rest reads as 0.0.
        group.fromJson({{"values", QJsonArray{5.5, "x", 7}}}, true);
        QVERIFY(!group.isModified());
        QCOMPARE(group.value(0).value(), 5.5);
        QCOMPARE(group.value(1).value(), 0.0);
        QCOMPARE(group.value(2).value(), 7.0);
        QCOMPARE(group.value(255).storedValue(), 0.0);

        // Without "values", as edits: every non-zero value becomes a 0.0 edit.
        TechParameters tech;
        fillClean(tech);
        tech.value(10).reset(0.0);
        QSignalSpy any(&tech, &ParameterGroup::DataChanged);
        tech.fromJson({}, false);
        QCOMPARE(any.count(), 1);
        QCOMPARE(tech.modifiedValues().size(), 255);
        QVERIFY(!tech.value(10).isModified());
        QCOMPARE(tech.value(0).value(), 0.0);
        QCOMPARE(tech.value(0).storedValue(), 1.0);

        // A number where the array belongs reads as an empty array.
        fillClean(tech);
        tech.fromJson({{"values", 3}}, true);
        QCOMPARE(tech.value(100).value(), 0.0);
    }

    void coordsysSection()
    {
        Coordsys group;
        fillClean(group);
        QJsonObject written;
        group.toJson(written);
        QCOMPARE(written.keys(), (QStringList{"G54", "G55", "G56", "G57", "G58", "G59"}));
        QCOMPARE(written.value("G59").toArray(), numbers({41, 42, 43, 44, 45, 46, 47, 48}));

        // Only G57, five numbers, as stored: row 3 changes, axes 5 to 7 become 0.
        group.fromJson({{"G57", numbers({-1, -2, -3, -4, -5})}}, true);
        QCOMPARE(rowValues(group, 3), (QList<double>{-1, -2, -3, -4, -5, 0, 0, 0}));
        QCOMPARE(rowValues(group, 2), (QList<double>{17, 18, 19, 20, 21, 22, 23, 24}));
        QVERIFY(!group.isModified());

        // A wrong type for a present key: the row reads as zeros.
        group.fromJson({{"G54", "nonsense"}}, false);
        QCOMPARE(rowValues(group, 0), QList<double>(8, 0.0));
        QCOMPARE(group.modifiedValues().size(), 8);
        QCOMPARE(group.modifiedValues().first().first, 1544);
    }

    void toolsSection()
    {
        Tools group;
        fillClean(group);
        QJsonObject written{{"T0", 5}};
        group.toJson(written);
        QCOMPARE(written.size(), 10); // T1 to T9 plus the key that was there
        QCOMPARE(written.value("T0").toInt(), 5);
        QCOMPARE(written.value("T1").toArray().first().toDouble(), 9.0);
        QCOMPARE(written.value("T9").toArray().size(), 8);

        group.fromJson({{"T0", numbers({-1, -1, -1, -1, -1, -1, -1, -1})},
                        {"T3", numbers({1, 2, 3, 4, 5, 6, 7, 8})}},
                       false);
        QCOMPARE(rowValues(group, 0), (QList<double>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(rowValues(group, 3), (QList<double>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(group.modifiedValues().size(), 8);
        QCOMPARE(group.modifiedValues().first().first, 1280 + 3 * 8);
        QVERIFY(!group.value(0).isModified());
    }

    void teethSection()
    {
        Teeth group;
        QJsonObject written;
        group.toJson(written);
        QCOMPARE(written.size(), 9);
        int arrays = 0;
        for (const QString &shape : written.keys()) {
            const QJsonObject teeth = written.value(shape).toObject();
            QCOMPARE(teeth.size(), 10);
            for (const QJsonValue &tooth : teeth) {
                QCOMPARE(tooth.toArray().size(), 64);
                QCOMPARE(tooth.toArray().at(63).toDouble(-1), 0.0);
                ++arrays;
            }
        }
        QCOMPARE(arrays, 90);

        fillClean(group);
        // L2 tooth 3 only; a missing tooth and an unknown shape change nothing.
        QJsonObject l2{{"T3", numbers({-7, -8})}, {"T10", numbers({1})}};
        group.fromJson({{"L2", l2}, {"L10", QJsonObject{{"T0", numbers({1})}}}}, false);
        const qsizetype base = 1 * 640 + 3 * 64;
        QCOMPARE(group.value(base).value(), -7.0);
        QCOMPARE(group.value(base + 1).value(), -8.0);
        QCOMPARE(group.value(base + 2).value(), 0.0);
        QCOMPARE(group.modifiedValues().size(), 64);
        QCOMPARE(group.modifiedValues().first().first, 8192 + int(base));
        QCOMPARE(group.value(base - 1).value(), double(base));

        // A shape that is not an object has no teeth to read; a tooth that is
        // not an array reads as zeros.
        group.revert();
        group.fromJson({{"L1", 4}, {"L9", QJsonObject{{"T9", true}}}}, true);
        QCOMPARE(group.value(0).value(), 1.0);
        QCOMPARE(group.value(8 * 640 + 9 * 64).value(), 0.0);
        QCOMPARE(group.value(5759).value(), 0.0);
        QCOMPARE(group.value(8 * 640 + 9 * 64 - 1).value(), double(8 * 640 + 9 * 64));
    }
};

QTEST_GUILESS_MAIN(TestParameterGroups)
#include "tst_parametergroups.moc"
