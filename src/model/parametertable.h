#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

#include <QStringList>

// A group shown as rows by axis columns, stored in a backup section as one
// array per row under the row's key.
class ParameterTable : public ParameterGroup
{
    Q_OBJECT
public:
    TableModel *createModel() override;
    ItemsFilterModel *createFilterModel() override;
    QString valueLabel(qsizetype index, ModelVersion version) const override;

    const QList<ModelItem> &rowItems() const { return m_rows; }
    const QList<ModelItem> &columnItems() const { return m_columns; }
    // The axis columns: Z, X, Y, A on most machines, Xu, Yu, Xd, Yd, Z on
    // ZumB1, and room for three more that no machine uses.
    static QList<ModelItem> axisItems();

protected:
    using ParameterGroup::ParameterGroup;

    // An absent key leaves its row as it is.
    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;
    // The definitions, once, from the constructor; sizes the values. The
    // section keys name the rows from firstKeyRow on; rows before it never
    // travel in a backup.
    void setItems(const QList<ModelItem> &rows, const QList<ModelItem> &columns,
                  const QStringList &keys, qsizetype firstKeyRow);

private:
    QList<ModelItem> m_rows;
    QList<ModelItem> m_columns;
    QStringList m_keys;
    qsizetype m_firstKeyRow = 0;
};
