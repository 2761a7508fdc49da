#include "model/itemsfiltermodel.h"

ItemsFilterModel::ItemsFilterModel(const QList<ModelItem> *rows, const QList<ModelItem> *columns,
                                   QObject *parent)
    : QSortFilterProxyModel(parent), m_rows(rows), m_columns(columns)
{
    setDynamicSortFilter(false);
}

void ItemsFilterModel::setShowOnlyActive(bool value)
{
    if (value == m_showOnlyActive)
        return;
    m_showOnlyActive = value;
    invalidateFilter();
}

void ItemsFilterModel::setActiveVersion(ModelVersion value)
{
    if (value == m_activeVersion)
        return;
    m_activeVersion = value;
    invalidateFilter();
}

bool ItemsFilterModel::accepts(const QList<ModelItem> *items, int section) const
{
    if (!m_showOnlyActive || !items || section < 0 || section >= items->size())
        return true;
    return items->at(section).state(m_activeVersion) == ModelItem::Active;
}

bool ItemsFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    return accepts(m_rows, sourceRow);
}

bool ItemsFilterModel::filterAcceptsColumn(int sourceColumn, const QModelIndex &) const
{
    return accepts(m_columns, sourceColumn);
}
