#pragma once

#include <QStyledItemDelegate>

// The item delegate of the value tables: says when the model refuses what was
// typed into a cell, which Qt's own delegate drops without a word.
class CellEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

signals:
    // `text` was typed into the cell at `index`, and the model kept its value.
    void refused(const QModelIndex &index, const QString &text);
};
