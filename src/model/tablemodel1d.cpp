#include "model/tablemodel1d.h"

TableModel1D::TableModel1D(const QList<ModelItem> *rows, QList<ParameterValue> *values,
                           QObject *parent)
    : TableModel(parent), m_rows(rows), m_values(values)
{
}

int TableModel1D::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows->size());
}

int TableModel1D::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant TableModel1D::data(const QModelIndex &index, int role) const
{
    if (!contains(index))
        return {};
    return valueData(m_values->at(index.row()), cellState({&m_rows->at(index.row())}), role);
}

bool TableModel1D::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!contains(index))
        return false;
    return setValueData((*m_values)[index.row()], cellState({&m_rows->at(index.row())}), index,
                        value, role);
}

QVariant TableModel1D::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return itemHeaderData(m_rows, section, role);
    if (section == 0 && role == Qt::DisplayRole)
        return tr("Value");
    return {};
}

Qt::ItemFlags TableModel1D::flags(const QModelIndex &index) const
{
    if (!contains(index))
        return TableModel::flags(index);
    return valueFlags(index, cellState({&m_rows->at(index.row())}));
}
