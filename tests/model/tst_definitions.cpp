// The definition tables of the five groups, row for row, against a listing
// kept beside this test; then the states at the boundaries that a wrong mask
// or version would move, and the machine variables of first and last values.
#include "model/coordsys.h"
#include "model/rparameters.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"

#include <QFile>
#include <QTest>

namespace {

enum class AltStyle
{
    None,
    Axis,
    Shape
};

QString maskName(MachineMask mask)
{
    switch (mask) {
    case 0x7FC:
        return QStringLiteral("all");
    case 0x6FC:
        return QStringLiteral("all but ZumB1");
    case 0x100:
        return QStringLiteral("ZumB1 only");
    case 0x600:
        return QStringLiteral("VrkD1, VrkE1");
    default:
        return QStringLiteral("mask 0x%1").arg(mask, 0, 16);
    }
}

QString altMaskName(MachineMask mask)
{
    switch (mask) {
    case 0x6FC:
        return QStringLiteral("all but ZumB1");
    case 0x100:
        return QStringLiteral("ZumB1");
    default:
        return QStringLiteral("mask 0x%1").arg(mask, 0, 16);
    }
}

QString stateIdentifier(ModelItem::State state)
{
    switch (state) {
    case ModelItem::Inactive:
        return QStringLiteral("Inactive");
    case ModelItem::MachineMismatch:
        return QStringLiteral("MachineMismatch");
    case ModelItem::Active:
        return QStringLiteral("Active");
    case ModelItem::Disabled:
        return QStringLiteral("Disabled");
    }
    return QStringLiteral("?");
}

QString altColumn(const ModelItem &item, AltStyle style)
{
    if (item.altLabels().isEmpty())
        return QStringLiteral("—");
    QStringList parts;
    for (const auto &[mask, text] : item.altLabels()) {
        if (style == AltStyle::Shape)
            parts.append(mask == MachineMasks::VrkD1E1
                             ? QStringLiteral("\"%1\"").arg(text)
                             : QStringLiteral("%1: \"%2\"").arg(altMaskName(mask), text));
        else
            parts.append(QStringLiteral("%1: \"%2\"").arg(altMaskName(mask), text));
    }
    return parts.join(QStringLiteral("; "));
}

// One row as the listing writes it. Fixed items must carry no mask or
// versions, and no item has an upper version bound.
QStringList listing(const QList<ModelItem> &items, int firstNumber, AltStyle style)
{
    QStringList lines;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const ModelItem &item = items.at(i);
        QStringList cells = {QString::number(firstNumber + i),
                             QStringLiteral("\"%1\"").arg(item.label())};
        if (style != AltStyle::None)
            cells.append(altColumn(item, style));
        if (item.fixedState()) {
            cells.append(QStringLiteral("fixed `%1`").arg(stateIdentifier(*item.fixedState())));
            cells.append(QStringLiteral("—"));
            if (item.machineMask() != 0 || item.minVersion() != 0)
                cells.append(QStringLiteral("fixed item with mask or version"));
        } else {
            cells.append(maskName(item.machineMask()));
            cells.append(QString::number(item.minVersion()));
        }
        if (item.maxVersion() != 0)
            cells.append(QStringLiteral("max %1").arg(item.maxVersion()));
        lines.append(QStringLiteral("| %1 |").arg(cells.join(QStringLiteral(" | "))));
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

    void techStatesAtBoundaries()
    {
        TechParameters tech;
        const auto state = [&](int row, MachineType type, uint version) {
            return tech.items().at(row).state(ModelVersion(type, version));
        };
        // The Y axis rows exist only on VrkD1 and VrkE1.
        for (int row : {13, 14, 19, 24, 26, 27}) {
            QCOMPARE(state(row, VrkD1, 6), ModelItem::Active);
            QCOMPARE(state(row, VrkE1, 8), ModelItem::Active);
            QCOMPARE(state(row, VrkC1, 8), ModelItem::MachineMismatch);
            QCOMPARE(state(row, ZumB1, 8), ModelItem::MachineMismatch);
        }
        QCOMPARE(state(12, VrkA1, 6), ModelItem::Active);
        QCOMPARE(state(15, VrkA1, 6), ModelItem::Active);
        QCOMPARE(state(11, ZumB1, 8), ModelItem::MachineMismatch);
        QCOMPARE(state(59, ZumB1, 6), ModelItem::Active);
        for (int row = 60; row <= 75; ++row) {
            QCOMPARE(state(row, ZumB1, 6), ModelItem::Active);
            QCOMPARE(state(row, VrkA1, 8), ModelItem::MachineMismatch);
        }
        QCOMPARE(state(76, VrkA1, 6), ModelItem::Inactive);
        QCOMPARE(state(76, VrkB2, 7), ModelItem::Active);
        QCOMPARE(state(76, ZumB1, 7), ModelItem::MachineMismatch);
        QCOMPARE(state(77, VrkB2, 7), ModelItem::Inactive);
        QCOMPARE(state(77, VrkE1, 8), ModelItem::Active);
        QCOMPARE(state(78, VrkE1, 8), ModelItem::Inactive);
        QCOMPARE(state(0, InOutTest, 8), ModelItem::MachineMismatch);
        QCOMPARE(tech.items().at(2).label(), QStringLiteral("02 - Acceleration [mm/s²]"));
        QCOMPARE(tech.items().at(255).label(), QStringLiteral("255 - (unused)"));
    }

    void teethStatesAtBoundaries()
    {
        Teeth teeth;
        const auto state = [&](int number, MachineType type, uint version) {
            return teeth.parameterItems().at(number - 1).state(ModelVersion(type, version));
        };
        for (int p : {32, 33, 35, 36, 37}) {
            QCOMPARE(state(p, VrkD1, 6), ModelItem::Active);
            QCOMPARE(state(p, VrkA1, 6), ModelItem::MachineMismatch);
        }
        QCOMPARE(state(34, ZumB1, 6), ModelItem::Active);
        for (int p = 38; p <= 42; ++p) {
            QCOMPARE(state(p, ZumB1, 6), ModelItem::Active);
            QCOMPARE(state(p, VrkA1, 6), ModelItem::MachineMismatch);
        }
        for (int p = 43; p <= 51; ++p) {
            QCOMPARE(state(p, VrkA1, 6), ModelItem::Inactive);
            QCOMPARE(state(p, VrkA1, 7), ModelItem::Inactive);
            QCOMPARE(state(p, VrkA1, 8), ModelItem::Active);
            QCOMPARE(state(p, ZumB1, 8), ModelItem::MachineMismatch);
        }
        QCOMPARE(state(52, VrkE1, 8), ModelItem::Inactive);

        // Shapes: named on VrkD1/VrkE1, only L1 on ZumB1, L9 never.
        const QList<ModelItem> &shapes = teeth.shapeItems();
        QCOMPARE(shapes.at(4).label(ModelVersion(VrkE1, 6)), QStringLiteral("L5 - HM / BiM"));
        QCOMPARE(shapes.at(4).label(ModelVersion(VrkA1, 6)), QStringLiteral("L5"));
        QCOMPARE(shapes.at(8).label(ModelVersion(VrkD1, 6)), QStringLiteral("L9"));
        int activeOnZum = 0;
        for (const ModelItem &shape : shapes)
            activeOnZum += shape.state(ModelVersion(ZumB1, 8)) == ModelItem::Active;
        QCOMPARE(activeOnZum, 1);
        QCOMPARE(shapes.at(0).state(ModelVersion(ZumB1, 8)), ModelItem::Active);
        QCOMPARE(shapes.at(8).state(ModelVersion(VrkD1, 8)), ModelItem::Inactive);
    }

    void axisLabelsPerFamily()
    {
        const QList<ModelItem> columns = Coordsys::axisItems();
        const auto labels = [&](MachineType type) {
            QStringList result;
            for (const ModelItem &column : columns)
                result.append(column.label(ModelVersion(type, 6)));
            return result.join(u',');
        };
        QCOMPARE(labels(VrkA1), QStringLiteral("Z,X,Y,A,Axis 4,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(labels(VrkE1), QStringLiteral("Z,X,Y,A,Axis 4,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(labels(ZumB1), QStringLiteral("Xu,Yu,Xd,Yd,Z,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(labels(InOutTest),
                 QStringLiteral("Axis 0,Axis 1,Axis 2,Axis 3,Axis 4,Axis 5,Axis 6,Axis 7"));
        QCOMPARE(columns.at(4).state(ModelVersion(VrkA1, 6)), ModelItem::MachineMismatch);
        QCOMPARE(columns.at(4).state(ModelVersion(ZumB1, 6)), ModelItem::Active);

        Tools tools;
        QCOMPARE(tools.rowItems().at(0).state(ModelVersion(VrkA1, 8)), ModelItem::Disabled);
        QCOMPARE(tools.rowItems().at(0).state(ModelVersion()), ModelItem::Disabled);
        QCOMPARE(tools.rowItems().at(1).state(ModelVersion(VrkA1, 6)), ModelItem::Active);
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
