#pragma once

#include <QIdentityProxyModel>

// Puts a parameter table model (or a filter over one) in front of a view:
// the model's TableModel::ItalicRole and TableModel::ForegroundColorRole
// become the font and the brush the view paints under Qt::FontRole and
// Qt::ForegroundRole, for cells and headers alike. Everything else passes
// through unchanged, edits included.
class ItemStyleModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    explicit ItemStyleModel(QAbstractItemModel *source, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
};
