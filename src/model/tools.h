#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

// The tool table, Tool T0 to Tool T9, one column per axis. T0 is not a real
// tool: it is never edited and never travels in a backup.
class Tools : public ParameterGroup
{
    Q_OBJECT
public:
    explicit Tools(QObject *parent = nullptr);

    int type() const override { return GroupTags::Tools; }
    QString title() const override;
    TableModel *createModel() override;
    ItemsFilterModel *createFilterModel() override;
    int firstVariable() const override { return 1280; }

    const QList<ModelItem> &rowItems() const { return m_rows; }
    const QList<ModelItem> &columnItems() const { return m_columns; }

protected:
    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;

private:
    QList<ModelItem> m_rows;
    QList<ModelItem> m_columns;
};
