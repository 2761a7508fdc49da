#include "widgets/itemstylemodel.h"

#include "model/tablemodel.h"

#include <QBrush>
#include <QFont>

namespace {

// The source's role behind a role a view asks for.
int sourceRole(int role)
{
    switch (role) {
    case Qt::FontRole:
        return TableModel::ItalicRole;
    case Qt::ForegroundRole:
        return TableModel::ForegroundColorRole;
    default:
        return role;
    }
}

QVariant styled(const QVariant &value, int role)
{
    if (!value.isValid())
        return value;
    switch (role) {
    case Qt::FontRole: {
        if (!value.toBool())
            return {};
        QFont font;
        font.setItalic(true);
        return font;
    }
    case Qt::ForegroundRole:
        return QBrush(value.value<Qt::GlobalColor>());
    default:
        return value;
    }
}

} // namespace

ItemStyleModel::ItemStyleModel(QAbstractItemModel *source, QObject *parent)
    : QIdentityProxyModel(parent)
{
    setSourceModel(source);
}

QVariant ItemStyleModel::data(const QModelIndex &index, int role) const
{
    return styled(QIdentityProxyModel::data(index, sourceRole(role)), role);
}

QVariant ItemStyleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return styled(QIdentityProxyModel::headerData(section, orientation, sourceRole(role)), role);
}
