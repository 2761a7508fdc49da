// The definition tables of the five groups, row for row, against a listing
// kept beside this test; then the states at the boundaries that a wrong mask
// or version would move, and the machine variables of first and last values.
#include "model/coordsys.h"
#include "model/rparameters.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"

#include <QFile>
#include <QMap>
#include <QTest>

#include <memory>

namespace {

enum class AltStyle
{
    None,
    Axis,
    Shape
};

QString maskName(MachineMask mask, bool alternative)
{
    const QMap<MachineMask, QString> names = {{0x7FC, "all"},
                                              {0x6FC, "all but ZumB1"},
                                              {0x100, alternative ? "ZumB1" : "ZumB1 only"},
                                              {0x600, "VrkD1, VrkE1"}};
    return names.value(mask, QStringLiteral("mask 0x%1").arg(mask, 0, 16));
}

// One line per item as the listing writes it; fixed items must carry no mask
// or versions, and no item has an upper version bound.
QStringList listing(const QList<ModelItem> &items, int firstNumber, AltStyle style)
{
    static const QStringList stateIds = {"Inactive", "MachineMismatch", "Active", "Disabled"};
    QStringList lines;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const ModelItem &item = items.at(i);
        QStringList cells = {QString::number(firstNumber + i), '"' + item.label() + '"'};
        if (style != AltStyle::None) {
            QStringList alts;
            for (const auto &[mask, text] : item.altLabels()) {
                const bool plain = style == AltStyle::Shape && mask == MachineMasks::VrkD1E1;
                alts.append((plain ? QString() : maskName(mask, true) + ": ") + '"' + text + '"');
            }
            cells.append(alts.isEmpty() ? QStringLiteral("—") : alts.join("; "));
        }
        if (item.fixedState()) {
            cells << QStringLiteral("fixed `%1`").arg(stateIds.at(*item.fixedState()))
                  << QStringLiteral("—");
            if (item.machineMask() != 0 || item.minVersion() != 0)
                cells << QStringLiteral("fixed item with mask or version");
        } else {
            cells << maskName(item.machineMask(), false) << QString::number(item.minVersion());
        }
        if (item.maxVersion() != 0)
            cells << QStringLiteral("max %1").arg(item.maxVersion());
        lines.append("| " + cells.join(" | ") + " |");
    }
    return lines;
}

} // namespace

class TestDefinitions : public QObject
{
    Q_OBJECT

private:
    QHash<QString, QStringList> expected;

    void compareListing(const QString &name, const QStringList &actual)
    {
        QVERIFY2(expected.contains(name), qPrintable(name));
        const QStringList &want = expected.value(name);
        for (qsizetype i = 0; i < qMin(want.size(), actual.size()); ++i)
            QCOMPARE(actual.at(i), want.at(i));
        QCOMPARE(actual.size(), want.size());
    }

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(VRK6_TEST_DATA "/definitions.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QString section;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            if (line.startsWith(QLatin1String("## ")))
                section = line.mid(3);
            else if (line.startsWith(u'|'))
                expected[section].append(line);
        }
        QCOMPARE(expected.size(), 8);
    }

    void everyRow()
    {
        TechParameters tech;
        compareListing(QStringLiteral("techparams rows"), listing(tech.items(), 0, AltStyle::None));
        RParameters r;
        compareListing(QStringLiteral("rparams rows"), listing(r.items(), 0, AltStyle::None));
        Coordsys coordsys;
        compareListing(QStringLiteral("coordsys rows"),
                       listing(coordsys.rowItems(), 0, AltStyle::None));
        compareListing(QStringLiteral("axis columns"),
                       listing(coordsys.columnItems(), 0, AltStyle::Axis));
        Tools tools;
        compareListing(QStringLiteral("tools rows"), listing(tools.rowItems(), 0, AltStyle::None));
        compareListing(QStringLiteral("axis columns"),
                       listing(tools.columnItems(), 0, AltStyle::Axis));
        Teeth teeth;
        compareListing(QStringLiteral("teeth shapes"),
                       listing(teeth.shapeItems(), 1, AltStyle::Shape));
        compareListing(QStringLiteral("teeth parameters"),
                       listing(teeth.parameterItems(), 1, AltStyle::None));
        compareListing(QStringLiteral("teeth columns"),
                       listing(teeth.toothItems(), 0, AltStyle::None));
    }

    // States where a wrong mask or version would show: the Y axis rows, the
    // ZumB1 rows, rows 76/77, P32 to P51, the axis column 4, T0 and L9.
    void statesAtBoundaries_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("list"); // 0 rows or parameters, 1 columns, 2 shapes
        QTest::addColumn<QList<int>>("indexes");
        QTest::addColumn<ModelVersion>("version");
        QTest::addColumn<int>("state");
        const auto add = [](const char *name, int tag, int list, QList<int> indexes,
                            ModelVersion version, ModelItem::State state) {
            QTest::newRow(name) << tag << list << indexes << version << int(state);
        };
        const QList<int> yRows = {13, 14, 19, 24, 26, 27};
        QList<int> zumRows, p43to51;
        for (int row = 60; row <= 75; ++row)
            zumRows << row;
        for (int p = 43; p <= 51; ++p)
            p43to51 << p - 1;
        using S = ModelItem;
        add("Y rows on VrkD1", 1, 0, yRows, {VrkD1, 6}, S::Active);
        add("Y rows on VrkC1", 1, 0, yRows, {VrkC1, 8}, S::MachineMismatch);
        add("Y rows on ZumB1", 1, 0, yRows, {ZumB1, 8}, S::MachineMismatch);
        add("60-75 on ZumB1", 1, 0, zumRows, {ZumB1, 6}, S::Active);
        add("60-75 on VrkA1", 1, 0, zumRows, {VrkA1, 8}, S::MachineMismatch);
        add("76 at 6", 1, 0, {76}, {VrkA1, 6}, S::Inactive);
        add("76 at 7", 1, 0, {76}, {VrkB2, 7}, S::Active);
        add("77 at 7", 1, 0, {77}, {VrkB2, 7}, S::Inactive);
        add("77 at 8", 1, 0, {77, 59}, {VrkE1, 8}, S::Active);
        add("axis 4 on VrkA1", 3, 1, {4}, {VrkA1, 6}, S::MachineMismatch);
        add("axis 4 on ZumB1", 3, 1, {4}, {ZumB1, 6}, S::Active);
        add("T0", 4, 0, {0}, {}, S::Disabled);
        add("P32-P37 on VrkD1", 5, 0, {31, 32, 34, 35, 36}, {VrkD1, 6}, S::Active);
        add("P32-P37 on VrkA1", 5, 0, {31, 32, 34, 35, 36}, {VrkA1, 6}, S::MachineMismatch);
        add("P38-P42 on ZumB1", 5, 0, {37, 38, 39, 40, 41}, {ZumB1, 6}, S::Active);
        add("P38-P42 on VrkA1", 5, 0, {37, 38, 39, 40, 41}, {VrkA1, 6}, S::MachineMismatch);
        add("P43-P51 at 7", 5, 0, p43to51, {VrkA1, 7}, S::Inactive);
        add("P43-P51 at 8", 5, 0, p43to51, {VrkA1, 8}, S::Active);
        add("P43-P51 on ZumB1", 5, 0, p43to51, {ZumB1, 8}, S::MachineMismatch);
        add("L1 on ZumB1", 5, 2, {0}, {ZumB1, 8}, S::Active);
        add("L2-L8 on ZumB1", 5, 2, {1, 7}, {ZumB1, 8}, S::MachineMismatch);
        add("L9", 5, 2, {8}, {VrkD1, 8}, S::Inactive);
    }

    void statesAtBoundaries()
    {
        QFETCH(int, tag);
        QFETCH(int, list);
        QFETCH(QList<int>, indexes);
        QFETCH(ModelVersion, version);
        QFETCH(int, state);
        std::unique_ptr<ParameterGroup> group(ParameterGroup::create(tag));
        const QList<ModelItem> *items = nullptr;
        if (auto *tech = qobject_cast<TechParameters *>(group.get()))
            items = &tech->items();
        else if (auto *r = qobject_cast<RParameters *>(group.get()))
            items = &r->items();
        else if (auto *coordsys = qobject_cast<Coordsys *>(group.get()))
            items = list == 0 ? &coordsys->rowItems() : &coordsys->columnItems();
        else if (auto *tools = qobject_cast<Tools *>(group.get()))
            items = list == 0 ? &tools->rowItems() : &tools->columnItems();
        else if (auto *teeth = qobject_cast<Teeth *>(group.get()))
            items = list == 0 ? &teeth->parameterItems() : &teeth->shapeItems();
        QVERIFY(items);
        for (int index : indexes)
            QCOMPARE(int(items->at(index).state(version)), state);
    }

    void labelsPerFamily()
    {
        const QList<ModelItem> columns = Coordsys::axisItems();
        const auto labels = [](const QList<ModelItem> &items, MachineType type) {
            QStringList result;
            for (const ModelItem &item : items)
                result.append(item.label(ModelVersion(type, 6)));
            return result.join(u',');
        };
        QCOMPARE(labels(columns, VrkA1), QStringLiteral("Z,X,Y,A,Axis 4,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(labels(columns, VrkE1), QStringLiteral("Z,X,Y,A,Axis 4,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(labels(columns, ZumB1), QStringLiteral("Xu,Yu,Xd,Yd,Z,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(labels(columns, InOutTest),
                 QStringLiteral("Axis 0,Axis 1,Axis 2,Axis 3,Axis 4,Axis 5,Axis 6,Axis 7"));
        Teeth teeth;
        QCOMPARE(labels(teeth.shapeItems(), VrkD1),
                 QStringLiteral("L1 - BZ1,L2 - BZ2,L3 - HM,L4 - SZ1,L5 - HM / BiM,L6 - SZ2,"
                                "L7 - WM,L8 - UNI,L9"));
        QCOMPARE(labels(teeth.shapeItems(), ZumB1), QStringLiteral("L1,L2,L3,L4,L5,L6,L7,L8,L9"));
    }

    // First and last value of every group, as the variables a write would use.
    void variableNumbers_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lastVariable");
        QTest::newRow("techparams") << 1 << 1024 << 256 << 1279;
        QTest::newRow("rparams") << 2 << 1792 << 256 << 2047;
        QTest::newRow("coordsys") << 3 << 1544 << 48 << 1591;
        QTest::newRow("tools") << 4 << 1280 << 80 << 1359;
        QTest::newRow("teeth") << 5 << 8192 << 5760 << 13951;
    }

    void variableNumbers()
    {
        QFETCH(int, tag);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, lastVariable);
        std::unique_ptr<ParameterGroup> group(ParameterGroup::create(tag));
        QVERIFY(group);
        QCOMPARE(group->type(), tag);
        QCOMPARE(group->variableRange(), (Acpu::VarRange{first, count}));
        group->value(0).setValue(1.0);
        group->value(count - 1).setValue(2.0);
        const auto pairs = group->modifiedValues();
        QCOMPARE(pairs.size(), 2);
        QCOMPARE(pairs.at(0), (std::pair<int, float>(first, 1.0f)));
        QCOMPARE(pairs.at(1), (std::pair<int, float>(lastVariable, 2.0f)));
    }
};

QTEST_GUILESS_MAIN(TestDefinitions)
#include "tst_definitions.moc"
