#include "model/tablemodelteeth.h"

TableModelTeeth::TableModelTeeth(const QList<ModelItem> *shapes, const QList<ModelItem> *parameters,
                                 const QList<ModelItem> *teeth, QList<ParameterValue> *values,
                                 QObject *parent)
    : TableModel(parent), m_shapes(shapes), m_parameters(parameters), m_teeth(teeth),
      m_values(values)
{
}

int TableModelTeeth::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_parameters->size());
}

int TableModelTeeth::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_teeth->size());
}

ParameterValue *TableModelTeeth::valueAt(const QModelIndex &index) const
{
    const qsizetype perShape = m_teeth->size() * m_parameters->size();
    return &(
        *m_values)[m_currentShape * perShape + index.column() * m_parameters->size() + index.row()];
}

TableModel::CellState TableModelTeeth::stateAt(const QModelIndex &index) const
{
    return cellState({&m_parameters->at(index.row()), &m_teeth->at(index.column()),
                      &m_shapes->at(m_currentShape)});
}

QVariant TableModelTeeth::headerData(int section, Qt::Orientation orientation, int role) const
{
    return itemHeaderData(orientation == Qt::Vertical ? m_parameters : m_teeth, section, role);
}

void TableModelTeeth::setCurrentShape(int shape)
{
    // An index past the shape list would address values beyond the group.
    if (shape == m_currentShape || shape < 0 || shape >= m_shapes->size())
        return;
    m_currentShape = shape;
    DataStoreChanged();
}
