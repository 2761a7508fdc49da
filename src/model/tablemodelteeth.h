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
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int currentShape() const { return m_currentShape; }

public slots:
    // A shape outside the shape list is ignored.
    void setCurrentShape(int shape);

private:
    ParameterValue *valueAt(const QModelIndex &index) const;
    CellState stateAt(const QModelIndex &index) const;

    const QList<ModelItem> *m_shapes;
    const QList<ModelItem> *m_parameters;
    const QList<ModelItem> *m_teeth;
    QList<ParameterValue> *m_values;
    int m_currentShape = 0;
};
