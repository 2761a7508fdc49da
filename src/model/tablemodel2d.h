#pragma once

#include "model/tablemodel.h"

// Rows by columns; cell (r, c) is value r * columns + c.
class TableModel2D : public TableModel
{
    Q_OBJECT
public:
    TableModel2D(const QList<ModelItem> *rows, const QList<ModelItem> *columns,
                 QList<ParameterValue> *values, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    ParameterValue *valueAt(const QModelIndex &index) const override;
    CellState stateAt(const QModelIndex &index) const override;

    const QList<ModelItem> *m_rows;
    const QList<ModelItem> *m_columns;
    QList<ParameterValue> *m_values;
};
