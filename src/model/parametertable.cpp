#include "model/parametertable.h"

#include "model/itemsfiltermodel.h"
#include "model/tablemodel2d.h"

TableModel *ParameterTable::createModel()
{
    return adoptModel(new TableModel2D(&m_rows, &m_columns, &m_values, this));
}

ItemsFilterModel *ParameterTable::createFilterModel()
{
    return new ItemsFilterModel(&m_rows, &m_columns, this);
}

QString ParameterTable::valueLabel(qsizetype index, ModelVersion version) const
{
    const qsizetype columns = m_columns.size();
    return m_rows.at(index / columns).label(version) + QStringLiteral(", ") +
           m_columns.at(index % columns).label(version);
}

QList<ModelItem> ParameterTable::axisItems()
{
    using namespace MachineMasks;
    auto axis = [](qsizetype n) { return tr("Axis %1").arg(n); };
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
    for (qsizetype n = columns.size(); n < 8; ++n)
        columns.append(ModelItem(axis(n), ModelItem::Inactive));
    return columns;
}

void ParameterTable::readJson(const QJsonObject &section, bool asStored)
{
    const qsizetype columns = m_columns.size();
    for (qsizetype k = 0; k < m_keys.size(); ++k) {
        const QJsonValue numbers = section.value(m_keys.at(k));
        if (!numbers.isUndefined())
            readNumbers(numbers.toArray(), (m_firstKeyRow + k) * columns, columns, asStored);
    }
}

void ParameterTable::writeJson(QJsonObject &section) const
{
    const qsizetype columns = m_columns.size();
    for (qsizetype k = 0; k < m_keys.size(); ++k)
        section.insert(m_keys.at(k), writeNumbers((m_firstKeyRow + k) * columns, columns));
}

void ParameterTable::setItems(const QList<ModelItem> &rows, const QList<ModelItem> &columns,
                              const QStringList &keys, qsizetype firstKeyRow)
{
    m_rows = rows;
    m_columns = columns;
    m_keys = keys;
    m_firstKeyRow = firstKeyRow;
    setValueCount(m_rows.size() * m_columns.size());
}
