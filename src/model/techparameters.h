#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

// The technological constants of the machine, variables 1024 to 1279.
class TechParameters : public ParameterGroup
{
    Q_OBJECT
public:
    explicit TechParameters(QObject *parent = nullptr);

    int type() const override { return GroupTags::TechParams; }
    QString title() const override;
    TableModel *createModel() override;
    ItemsFilterModel *createFilterModel() override;
    int firstVariable() const override { return 1024; }

    const QList<ModelItem> &items() const { return m_items; }

protected:
    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;

private:
    QList<ModelItem> m_items;
};
