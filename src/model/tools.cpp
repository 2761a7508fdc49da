#include "model/tools.h"

#include "model/coordsys.h"
#include "model/itemsfiltermodel.h"
#include "model/tablemodel2d.h"

namespace {

constexpr qsizetype RowCount = 10;

// Row T0 is no tool: it is neither read from nor written to a section, so
// the keys begin with T1.
const QStringList &sectionKeys()
{
    static const QStringList keys = [] {
        QStringList result;
        for (qsizetype row = 1; row < RowCount; ++row)
            result.append(QStringLiteral("T%1").arg(row));
        return result;
    }();
    return keys;
}

} // namespace

Tools::Tools(QObject *parent) : ParameterGroup(parent)
{
    m_rows.append(ModelItem(tr("Tool T%1").arg(0), ModelItem::Disabled));
    for (qsizetype n = 1; n < RowCount; ++n)
        m_rows.append(ModelItem(tr("Tool T%1").arg(n), MachineMasks::AllMachines, 6, 0));
    m_columns = Coordsys::axisItems();
    setValueCount(m_rows.size() * m_columns.size());
}

QString Tools::title() const
{
    return tr("Tools Parameters");
}

TableModel *Tools::createModel()
{
    return adoptModel(new TableModel2D(&m_rows, &m_columns, &values, this));
}

ItemsFilterModel *Tools::createFilterModel()
{
    return new ItemsFilterModel(&m_rows, &m_columns, this);
}

void Tools::readJson(const QJsonObject &section, bool asStored)
{
    readRows(section, sectionKeys(), 1, m_columns.size(), asStored);
}

void Tools::writeJson(QJsonObject &section) const
{
    writeRows(section, sectionKeys(), 1, m_columns.size());
}
