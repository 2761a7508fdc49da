#include "model/tablemodel2d.h"

TableModel2D::TableModel2D(const QList<ModelItem> *rows, const QList<ModelItem> *columns,
                           QList<ParameterValue> *values, QObject *parent)
    : TableModel(parent), m_rows(rows), m_columns(columns), m_values(values)
{
}

int TableModel2D::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows->size());
}

int TableModel2D::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns->size());
}

ParameterValue *TableModel2D::valueAt(const QModelIndex &index) const
{
    return &(*m_values)[index.row() * m_columns->size() + index.column()];
}

TableModel::CellState TableModel2D::stateAt(const QModelIndex &index) const
{
    return cellState({&m_rows->at(index.row()), &m_columns->at(index.column())});
}

QVariant TableModel2D::headerData(int section, Qt::Orientation orientation, int role) const
{
    return itemHeaderData(orientation == Qt::Vertical ? m_rows : m_columns, section, role);
}
