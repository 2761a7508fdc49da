#include "model/parameterlist.h"

#include "model/itemsfiltermodel.h"
#include "model/tablemodel1d.h"

TableModel *ParameterList::createModel()
{
    return adoptModel(new TableModel1D(&m_items, &m_values, this));
}

ItemsFilterModel *ParameterList::createFilterModel()
{
    return new ItemsFilterModel(&m_items, nullptr, this);
}

QString ParameterList::valueLabel(qsizetype index, ModelVersion version) const
{
    return m_items.at(index).label(version);
}

void ParameterList::readJson(const QJsonObject &section, bool asStored)
{
    readNumbers(section.value(QLatin1String("values")).toArray(), 0, valueCount(), asStored);
}

void ParameterList::writeJson(QJsonObject &section) const
{
    section.insert(QLatin1String("values"), writeNumbers(0, valueCount()));
}

void ParameterList::setItems(const QList<ModelItem> &items)
{
    m_items = items;
    setValueCount(m_items.size());
}
