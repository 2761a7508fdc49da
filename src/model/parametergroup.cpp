#include "model/parametergroup.h"

#include "model/machinevalue.h"
#include "model/tablemodel.h"

#include <QJsonValue>

#include <array>

namespace {

// Section names by tag; index 0 is "no group".
const std::array<QString, 6> &sectionNames()
{
    static const std::array<QString, 6> names = {
        QString(),
        QStringLiteral("techparams"),
        QStringLiteral("rparams"),
        QStringLiteral("coordsys"),
        QStringLiteral("tools"),
        QStringLiteral("teeth"),
    };
    return names;
}

void apply(ParameterValue &value, const QJsonValue &number, bool asStored)
{
    if (asStored)
        value.reset(number.isNull() ? MachineValue::NoNumber : number.toDouble(0.0));
    else if (!number.isNull()) // an import brings numbers, never a hole
        value.setValue(number.toDouble(0.0));
}

// The variables and floats of the values that pass; only values that fit a
// machine variable ever do.
template <typename Pass>
ParameterGroup::VariableValues writable(const ParameterGroup &group, Pass pass)
{
    ParameterGroup::VariableValues result;
    const int first = group.firstVariable();
    for (qsizetype i = 0; i < group.valueCount(); ++i) {
        const ParameterValue &value = group.value(i);
        if (pass(value) && MachineValue::fits(value.value()))
            result.append({first + static_cast<int>(i), static_cast<float>(value.value())});
    }
    return result;
}

} // namespace

ParameterGroup::ParameterGroup(QObject *parent) : QObject(parent) {}

qsizetype ParameterGroup::valueCount() const
{
    return m_values.size();
}

ParameterValue &ParameterGroup::value(qsizetype index)
{
    return m_values[index];
}

const ParameterValue &ParameterGroup::value(qsizetype index) const
{
    return m_values.at(index);
}

QString ParameterGroup::groupName(int tag)
{
    if (tag < GroupTags::TechParams || tag > GroupTags::Teeth)
        return {};
    return sectionNames()[tag];
}

int ParameterGroup::tagFromName(const QString &name)
{
    for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag) {
        if (name.compare(sectionNames()[tag], Qt::CaseInsensitive) == 0)
            return tag;
    }
    return GroupTags::None;
}

Acpu::VarRange ParameterGroup::variableRange() const
{
    return {firstVariable(), valueCount()};
}

void ParameterGroup::loadFromMachine(Acpu::Connection &connection)
{
    const int first = firstVariable();
    for (qsizetype i = 0; i < valueCount(); ++i)
        value(i).reset(
            MachineValue::fromMachine(connection.ReadFloat(first + static_cast<int>(i))));
    emit DataChangedPrivate();
    emit DataChanged();
}

void ParameterGroup::fromJson(const QJsonObject &section, bool asStored)
{
    readJson(section, asStored);
    emit DataChangedPrivate();
    emit DataChanged();
}

void ParameterGroup::toJson(QJsonObject &section) const
{
    writeJson(section);
}

bool ParameterGroup::isModified() const
{
    for (qsizetype i = 0; i < valueCount(); ++i) {
        if (value(i).isModified())
            return true;
    }
    return false;
}

void ParameterGroup::accept()
{
    for (qsizetype i = 0; i < valueCount(); ++i)
        value(i).accept();
    emit DataChangedPrivate();
    emit DataChanged();
}

void ParameterGroup::clear()
{
    for (qsizetype i = 0; i < valueCount(); ++i)
        value(i).reset(MachineValue::NoNumber);
}

void ParameterGroup::revert()
{
    for (qsizetype i = 0; i < valueCount(); ++i)
        value(i).revert();
    emit DataChangedPrivate();
    emit DataChanged();
}

ParameterGroup::VariableValues ParameterGroup::modifiedValues() const
{
    return writable(*this, [](const ParameterValue &value) { return value.isModified(); });
}

ParameterGroup::VariableValues ParameterGroup::definedValues() const
{
    return writable(*this, [](const ParameterValue &) { return true; });
}

void ParameterGroup::OnViewDataChanged(const QModelIndex &, const QModelIndex &, const QList<int> &)
{
    emit DataChanged();
}

void ParameterGroup::setValueCount(qsizetype count)
{
    m_values.resize(count);
}

TableModel *ParameterGroup::adoptModel(TableModel *model)
{
    connect(this, &ParameterGroup::DataChangedPrivate, model, &TableModel::DataStoreChanged);
    connect(model, &TableModel::dataChanged, this, &ParameterGroup::OnViewDataChanged);
    return model;
}

void ParameterGroup::readNumbers(const QJsonArray &numbers, qsizetype first, qsizetype count,
                                 bool asStored)
{
    for (qsizetype i = 0; i < count; ++i)
        apply(value(first + i), numbers.at(i), asStored);
}

QJsonArray ParameterGroup::writeNumbers(qsizetype first, qsizetype count) const
{
    QJsonArray numbers;
    for (qsizetype i = 0; i < count; ++i) {
        const double number = value(first + i).value();
        numbers.append(MachineValue::fits(number) ? QJsonValue(number) : QJsonValue::Null);
    }
    return numbers;
}
