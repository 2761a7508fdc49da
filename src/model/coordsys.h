#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

#include <QStringList>

// The work coordinate systems G54 to G59, one row each, one column per axis.
class Coordsys : public ParameterGroup
{
    Q_OBJECT
public:
    explicit Coordsys(QObject *parent = nullptr);

    int type() const override { return GroupTags::Coordsys; }
    QString title() const override;
    TableModel *createModel() override;
    ItemsFilterModel *createFilterModel() override;
    int firstVariable() const override { return m_firstVariable; }

    const QList<ModelItem> &rowItems() const { return m_rows; }
    const QList<ModelItem> &columnItems() const { return m_columns; }
    // The row labels, which are also the section keys.
    static const QStringList &rowNames();
    // The axis columns shared with the tool table.
    static QList<ModelItem> axisItems();

protected:
    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;

private:
    QList<ModelItem> m_rows;
    QList<ModelItem> m_columns;
    int m_firstVariable = 0;
};
