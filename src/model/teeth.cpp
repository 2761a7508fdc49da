#include "model/teeth.h"

#include "model/itemdefinition.h"
#include "model/itemsfiltermodel.h"
#include "model/tablemodelteeth.h"
#include "model/teethgroupsmodel.h"

#include <QCoreApplication>

namespace {

using namespace MachineMasks;

// P01 to P51; none has an upper version bound.
constexpr ItemDefinition parameterDefinitions[] = {
    {QT_TRANSLATE_NOOP("Teeth", "P01 - Pitch of teeth"), AllButZumB1, 6},           // 1
    {QT_TRANSLATE_NOOP("Teeth", "P02 - Depth of tooth"), AllMachines, 6},           // 2
    {QT_TRANSLATE_NOOP("Teeth", "P03 - Face angle"), AllButZumB1, 6},               // 3
    {QT_TRANSLATE_NOOP("Teeth", "P04 - Face length"), AllButZumB1, 6},              // 4
    {QT_TRANSLATE_NOOP("Teeth", "P05 - Radius 1"), AllButZumB1, 6},                 // 5
    {QT_TRANSLATE_NOOP("Teeth", "P06 - Gap length"), AllButZumB1, 6},               // 6
    {QT_TRANSLATE_NOOP("Teeth", "P07 - Radius 2"), AllButZumB1, 6},                 // 7
    {QT_TRANSLATE_NOOP("Teeth", "P08 - Radius 3"), AllButZumB1, 6},                 // 8
    {QT_TRANSLATE_NOOP("Teeth", "P09 - Back length"), AllButZumB1, 6},              // 9
    {QT_TRANSLATE_NOOP("Teeth", "P10 - Back angle"), AllButZumB1, 6},               // 10
    {QT_TRANSLATE_NOOP("Teeth", "P11 - Method"), AllMachines, 6},                   // 11
    {QT_TRANSLATE_NOOP("Teeth", "P12 - Saw blade diameter"), AllButZumB1, 6},       // 12
    {QT_TRANSLATE_NOOP("Teeth", "P13 - Height difference"), AllButZumB1, 6},        // 13
    {QT_TRANSLATE_NOOP("Teeth", "P14 - Enable height difference"), AllButZumB1, 6}, // 14
    {QT_TRANSLATE_NOOP("Teeth", "P15 - Height difference"), AllButZumB1, 6},        // 15
    {QT_TRANSLATE_NOOP("Teeth", "P16 - Length difference"), AllButZumB1, 6},        // 16
    {QT_TRANSLATE_NOOP("Teeth", "P17 - Radius 4"), AllButZumB1, 6},                 // 17
    {QT_TRANSLATE_NOOP("Teeth", "P18 - Laeppfase"), AllButZumB1, 6},                // 18
    {QT_TRANSLATE_NOOP("Teeth", "P19 - Lead in/out"), AllButZumB1, 6},              // 19
    {QT_TRANSLATE_NOOP("Teeth", "P20 - Feed profile"), AllButZumB1, 6},             // 20
    {QT_TRANSLATE_NOOP("Teeth", "P21 - Number of teeth"), AllMachines, 6},          // 21
    {QT_TRANSLATE_NOOP("Teeth", "P22 - Number of cycles"), AllMachines, 6},         // 22
    {QT_TRANSLATE_NOOP("Teeth", "P23 - Step in X"), AllButZumB1, 6},                // 23
    {QT_TRANSLATE_NOOP("Teeth", "P24 - Step in Z"), AllButZumB1, 6},                // 24
    {QT_TRANSLATE_NOOP("Teeth", "P25 - Opr. speed [mm/min]"), AllMachines, 6},      // 25
    {QT_TRANSLATE_NOOP("Teeth", "P26 - Faster"), AllButZumB1, 6},                   // 26
    {QT_TRANSLATE_NOOP("Teeth", "P27 - Cooling (0/1)"), AllMachines, 6},            // 27
    {QT_TRANSLATE_NOOP("Teeth", "P28 - Tool radius"), AllButZumB1, 6},              // 28
    {QT_TRANSLATE_NOOP("Teeth", "P29 - Grinding [m/s]"), AllButZumB1, 6},           // 29
    {QT_TRANSLATE_NOOP("Teeth", "P30 - First face missing"), AllButZumB1, 6},       // 30
    {QT_TRANSLATE_NOOP("Teeth", "P31 - Tool radius 2"), AllButZumB1, 6},            // 31
    {QT_TRANSLATE_NOOP("Teeth", "P32 - Body thickness"), VrkD1E1, 6},               // 32
    {QT_TRANSLATE_NOOP("Teeth", "P33 - Cutting kerf"), VrkD1E1, 6},                 // 33
    {QT_TRANSLATE_NOOP("Teeth", "P34 - Program number %N.."), AllMachines, 6},      // 34
    {QT_TRANSLATE_NOOP("Teeth", "P35 - Chamfering method"), VrkD1E1, 6},            // 35
    {QT_TRANSLATE_NOOP("Teeth", "P36 - Chamfering width"), VrkD1E1, 6},             // 36
    {QT_TRANSLATE_NOOP("Teeth", "P37 - Chamfering depth"), VrkD1E1, 6},             // 37
    {QT_TRANSLATE_NOOP("Teeth", "P38 - Step length"), ZumB1Only, 6},                // 38
    {QT_TRANSLATE_NOOP("Teeth", "P39 - Step count"), ZumB1Only, 6},                 // 39
    {QT_TRANSLATE_NOOP("Teeth", "P40 - Upper angle"), ZumB1Only, 6},                // 40
    {QT_TRANSLATE_NOOP("Teeth", "P41 - Lower angle"), ZumB1Only, 6},                // 41
    {QT_TRANSLATE_NOOP("Teeth", "P42 - Step in Y"), ZumB1Only, 6},                  // 42
    {QT_TRANSLATE_NOOP("Teeth", "P43 - Radius 4"), AllButZumB1, 8},                 // 43
    {QT_TRANSLATE_NOOP("Teeth", "P44 - Radius 5"), AllButZumB1, 8},                 // 44
    {QT_TRANSLATE_NOOP("Teeth", "P45 - Winter tooth width"), AllButZumB1, 8},       // 45
    {QT_TRANSLATE_NOOP("Teeth", "P46 - Winter tooth depth"), AllButZumB1, 8},       // 46
    {QT_TRANSLATE_NOOP("Teeth", "P47 - Winter tooth cycles"), AllButZumB1, 8},      // 47
    {QT_TRANSLATE_NOOP("Teeth", "P48 - Stone tip R1R2"), AllButZumB1, 8},           // 48
    {QT_TRANSLATE_NOOP("Teeth", "P49 - Stone thickness"), AllButZumB1, 8},          // 49
    {QT_TRANSLATE_NOOP("Teeth", "P50 - Stone tip in angle"), AllButZumB1, 8},       // 50
    {QT_TRANSLATE_NOOP("Teeth", "P51 - Stone tip out angle"), AllButZumB1, 8},      // 51
};

struct ShapeDefinition
{
    const char *label;
    const char *labelOnD1E1;
    MachineMask mask;
};

// L1 to L8, all from version 6; VrkD1 and VrkE1 name the shapes.
constexpr ShapeDefinition shapeDefinitions[] = {
    {"L1", "L1 - BZ1", AllMachines},      {"L2", "L2 - BZ2", AllButZumB1},
    {"L3", "L3 - HM", AllButZumB1},       {"L4", "L4 - SZ1", AllButZumB1},
    {"L5", "L5 - HM / BiM", AllButZumB1}, {"L6", "L6 - SZ2", AllButZumB1},
    {"L7", "L7 - WM", AllButZumB1},       {"L8", "L8 - UNI", AllButZumB1},
};

} // namespace

Teeth::Teeth(QObject *parent) : ParameterGroup(parent)
{
    for (const ShapeDefinition &d : shapeDefinitions) {
        m_shapes.append(ModelItem(QString::fromLatin1(d.label),
                                  {{VrkD1E1, QString::fromLatin1(d.labelOnD1E1)}}, d.mask, 6, 0));
    }
    m_shapes.append(ModelItem(QStringLiteral("L9"), ModelItem::Inactive));

    for (const ItemDefinition &d : parameterDefinitions) {
        m_parameters.append(
            ModelItem(QCoreApplication::translate("Teeth", d.label), d.mask, d.minVersion, 0));
    }
    for (int n = 0; n < ToothCount; ++n)
        m_teeth.append(ModelItem(tr("Tooth %1").arg(n), AllMachines, 6, 0));
    // The control unit reserves the rest of each tooth's block.
    for (qsizetype n = m_parameters.size() + 1; n <= ParameterCount; ++n) {
        m_parameters.append(
            ModelItem(QStringLiteral("P%1 - ").arg(n, 2, 10, QLatin1Char('0')) + tr("(unused)"),
                      ModelItem::Inactive));
    }
    setValueCount(TotalValueCount);
}

QString Teeth::title() const
{
    return tr("Teeth Parameters");
}

TableModel *Teeth::createModel()
{
    return adoptModel(new TableModelTeeth(&m_shapes, &m_parameters, &m_teeth, &m_values, this));
}

QString Teeth::valueLabel(qsizetype index, ModelVersion version) const
{
    const qsizetype shape = index / (ToothCount * ParameterCount);
    const qsizetype tooth = index / ParameterCount % ToothCount;
    return m_shapes.at(shape).label(version) + QStringLiteral(", ") +
           m_teeth.at(tooth).label(version) + QStringLiteral(", ") +
           m_parameters.at(index % ParameterCount).label(version);
}

ItemsFilterModel *Teeth::createFilterModel()
{
    return new ItemsFilterModel(&m_parameters, &m_teeth, this);
}

TeethGroupsModel *Teeth::createShapesModel()
{
    return new TeethGroupsModel(&m_shapes, this);
}

ItemsFilterModel *Teeth::createShapesFilterModel()
{
    return new ItemsFilterModel(&m_shapes, nullptr, this);
}

void Teeth::readJson(const QJsonObject &section, bool asStored)
{
    for (qsizetype s = 0; s < ShapeCount; ++s) {
        const QJsonValue shape = section.value(QStringLiteral("L%1").arg(s + 1));
        if (shape.isUndefined())
            continue;
        const QJsonObject teeth = shape.toObject();
        for (qsizetype t = 0; t < ToothCount; ++t) {
            const QJsonValue numbers = teeth.value(QStringLiteral("T%1").arg(t));
            if (!numbers.isUndefined()) {
                readNumbers(numbers.toArray(), (s * ToothCount + t) * ParameterCount,
                            ParameterCount, asStored);
            }
        }
    }
}

void Teeth::writeJson(QJsonObject &section) const
{
    for (qsizetype s = 0; s < ShapeCount; ++s) {
        QJsonObject teeth;
        for (qsizetype t = 0; t < ToothCount; ++t) {
            teeth.insert(QStringLiteral("T%1").arg(t),
                         writeNumbers((s * ToothCount + t) * ParameterCount, ParameterCount));
        }
        section.insert(QStringLiteral("L%1").arg(s + 1), teeth);
    }
}
