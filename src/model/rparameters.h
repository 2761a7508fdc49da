#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

// The R parameters R000 to R255, variables 1792 to 2047.
class RParameters : public ParameterGroup
{
    Q_OBJECT
public:
    explicit RParameters(QObject *parent = nullptr);

    int type() const override { return GroupTags::RParams; }
    QString title() const override;
    TableModel *createModel() override;
    ItemsFilterModel *createFilterModel() override;
    int firstVariable() const override { return 1792; }

    const QList<ModelItem> &items() const { return m_items; }

protected:
    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;

private:
    QList<ModelItem> m_items;
};
