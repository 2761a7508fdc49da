#pragma once

#include "model/modelitem.h"
#include "model/parametergroup.h"

class TeethGroupsModel;

// The teeth of saw blades: 9 shapes x 10 teeth x 64 parameters. Value
// (shape s, tooth t, parameter p) is index s * 640 + t * 64 + p.
class Teeth : public ParameterGroup
{
    Q_OBJECT
public:
    static constexpr qsizetype ShapeCount = 9;
    static constexpr qsizetype ToothCount = 10;
    static constexpr qsizetype ParameterCount = 64;
    static constexpr qsizetype TotalValueCount = ShapeCount * ToothCount * ParameterCount;

    explicit Teeth(QObject *parent = nullptr);

    int type() const override { return GroupTags::Teeth; }
    QString title() const override;
    // The model starts on shape 0.
    TableModel *createModel() override;
    // Parameters as rows, teeth as columns.
    ItemsFilterModel *createFilterModel() override;
    int firstVariable() const override { return 8192; }
    QString valueLabel(qsizetype index, ModelVersion version) const override;

    TeethGroupsModel *createShapesModel();
    ItemsFilterModel *createShapesFilterModel();

    const QList<ModelItem> &shapeItems() const { return m_shapes; }
    const QList<ModelItem> &parameterItems() const { return m_parameters; }
    const QList<ModelItem> &toothItems() const { return m_teeth; }

protected:
    void readJson(const QJsonObject &section, bool asStored) override;
    void writeJson(QJsonObject &section) const override;

private:
    QList<ModelItem> m_shapes;
    QList<ModelItem> m_parameters;
    QList<ModelItem> m_teeth;
};
