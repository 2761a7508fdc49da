#include "model/coordsys.h"

#include "model/itemsfiltermodel.h"
#include "model/tablemodel2d.h"

namespace {
constexpr qsizetype ColumnCount = 8;
}

Coordsys::Coordsys(QObject *parent) : ParameterGroup(parent)
{
    for (const QString &name : rowNames())
        m_rows.append(ModelItem(name, MachineMasks::AllMachines, 6, 0));
    m_columns = axisItems();
    setValueCount(m_rows.size() * m_columns.size());
    // The coordinate systems follow a block of the machine's own, one row long.
    m_firstVariable = 1536 + static_cast<int>(m_columns.size());
}

const QStringList &Coordsys::rowNames()
{
    static const QStringList names = {
        QStringLiteral("G54"), QStringLiteral("G55"), QStringLiteral("G56"),
        QStringLiteral("G57"), QStringLiteral("G58"), QStringLiteral("G59"),
    };
    return names;
}

QList<ModelItem> Coordsys::axisItems()
{
    using namespace MachineMasks;
    auto axis = [](int n) { return QStringLiteral("Axis %1").arg(n); };
    auto alt = [](const char *others, const char *zum) {
        return ModelItem::AltLabels{{AllButZumB1, QString::fromLatin1(others)},
                                    {ZumB1Only, QString::fromLatin1(zum)}};
    };
    QList<ModelItem> columns = {
        ModelItem(axis(0), alt("Z", "Xu"), AllMachines, 6, 0),
        ModelItem(axis(1), alt("X", "Yu"), AllMachines, 6, 0),
        ModelItem(axis(2), alt("Y", "Xd"), AllMachines, 6, 0),
        ModelItem(axis(3), alt("A", "Yd"), AllMachines, 6, 0),
        ModelItem(axis(4), {{ZumB1Only, QStringLiteral("Z")}}, ZumB1Only, 6, 0),
    };
    // The control unit has room for eight axes; no machine uses the rest.
    for (qsizetype n = columns.size(); n < ColumnCount; ++n)
        columns.append(ModelItem(axis(static_cast<int>(n)), ModelItem::Inactive));
    return columns;
}

QString Coordsys::title() const
{
    return tr("G54 - G59");
}

TableModel *Coordsys::createModel()
{
    return adoptModel(new TableModel2D(&m_rows, &m_columns, &values, this));
}

ItemsFilterModel *Coordsys::createFilterModel()
{
    return new ItemsFilterModel(&m_rows, &m_columns, this);
}

void Coordsys::readJson(const QJsonObject &section, bool asStored)
{
    readRows(section, rowNames(), 0, m_columns.size(), asStored);
}

void Coordsys::writeJson(QJsonObject &section) const
{
    writeRows(section, rowNames(), 0, m_columns.size());
}
