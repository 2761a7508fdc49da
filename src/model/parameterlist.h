#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

// A group shown as one column, one row per value, stored in a backup section
// as one "values" array.
class ParameterList : public ParameterGroup
{
    Q_OBJECT
public:
    TableModel *createModel() override;
    ItemsFilterModel *createFilterModel() override;
    QString valueLabel(qsizetype index, ModelVersion version) const override;

    const QList<ModelItem> &items() const { return m_items; }

protected:
    using ParameterGroup::ParameterGroup;

    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;
    // The row definitions, once, from the constructor; sizes the values.
    void setItems(const QList<ModelItem> &items);

private:
    QList<ModelItem> m_items;
};
