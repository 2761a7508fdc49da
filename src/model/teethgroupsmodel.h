#pragma once

#include "model/tablemodel.h"

// The list of tooth shapes for the shape selector; Qt::UserRole gives the
// shape index that TableModelTeeth::setCurrentShape takes.
class TeethGroupsModel : public TableModel
{
    Q_OBJECT
public:
    TeethGroupsModel(const QList<ModelItem> *shapes, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    const QList<ModelItem> *m_shapes;
};
