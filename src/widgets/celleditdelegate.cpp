#include "widgets/celleditdelegate.h"

#include <QMetaProperty>

void CellEditDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    const QByteArray property = editor->metaObject()->userProperty().name();
    const QVariant value = editor->property(property.constData());
    // Nothing typed into a cell without a number is no refusal.
    if (model->setData(index, value, Qt::EditRole) || value.toString().trimmed().isEmpty())
        return;
    emit const_cast<CellEditDelegate *>(this)->refused(index, value.toString());
}
