#pragma once

#include "model/tablemodel.h"

// One column of values, one row per item.
class TableModel1D : public TableModel
{
    Q_OBJECT
public:
    TableModel1D(const QList<ModelItem> *rows, QList<ParameterValue> *values, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    ParameterValue *valueAt(const QModelIndex &index) const override;
    CellState stateAt(const QModelIndex &index) const override;

    const QList<ModelItem> *m_rows;
    QList<ParameterValue> *m_values;
};
