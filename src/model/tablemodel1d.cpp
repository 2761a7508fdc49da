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

QVariant TableModel1D::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return itemHeaderData(m_rows, section, role);
    if (section == 0 && role == Qt::DisplayRole)
        return tr("Value");
    return {};
}

ParameterValue *TableModel1D::valueAt(const QModelIndex &index) const
{
    return &(*m_values)[index.row()];
}

TableModel::CellState TableModel1D::stateAt(const QModelIndex &index) const
{
    return cellState({&m_rows->at(index.row())});
}
