#include "model/teethgroupsmodel.h"

TeethGroupsModel::TeethGroupsModel(const QList<ModelItem> *shapes, QObject *parent)
    : TableModel(parent), m_shapes(shapes)
{
}

int TeethGroupsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shapes->size());
}

int TeethGroupsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant TeethGroupsModel::data(const QModelIndex &index, int role) const
{
    if (!contains(index))
        return {};
    const ModelItem &shape = m_shapes->at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return shape.label(activeVersion());
    case ItalicRole:
        return shape.state(activeVersion()) != ModelItem::Active ? QVariant(true) : QVariant();
    case Qt::UserRole:
        return index.row();
    default:
        return {};
    }
}
