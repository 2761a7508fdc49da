#pragma once

#include "model/tablemodel.h"

// One tooth shape at a time: parameters as rows, teeth as columns.
class TableModelTeeth : public TableModel
{
    Q_OBJECT
public:
    TableModelTeeth(const QList<ModelItem> *shapes, const QList<ModelItem> *parameters,
                    const QList<ModelItem> *teeth, QList<ParameterValue> *values, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int currentShape() const { return m_currentShape; }

public slots:
    // A shape outside the shape list is ignored.
    void setCurrentShape(int shape);

private:
    ParameterValue *valueAt(const QModelIndex &index) const override;
    CellState stateAt(const QModelIndex &index) const override;

    const QList<ModelItem> *m_shapes;
    const QList<ModelItem> *m_parameters;
    const QList<ModelItem> *m_teeth;
    QList<ParameterValue> *m_values;
    int m_currentShape = 0;
};
