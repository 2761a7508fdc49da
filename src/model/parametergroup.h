#pragma once

#include "acpu/connection.h"
#include "acpu/varrange.h"
#include "model/modelversion.h"
#include "model/parametervalue.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QModelIndex>
#include <QObject>

#include <utility>

class ItemsFilterModel;
class TableModel;

// The tag of a parameter group; 0 names no group.
using GroupTag = int;

namespace GroupTags {
constexpr GroupTag None = 0;
constexpr GroupTag TechParams = 1;
constexpr GroupTag RParams = 2;
constexpr GroupTag Coordsys = 3;
constexpr GroupTag Tools = 4;
constexpr GroupTag Teeth = 5;
} // namespace GroupTags

// One block of machine variables edited as a table. Value i is machine
// variable firstVariable() + i. Subclasses bring the definitions and the
// shape; this class keeps the values and moves them between machine, backup
// sections and table models.
class ParameterGroup : public QObject
{
    Q_OBJECT
public:
    // (machine variable, value) as the connection's WriteValues takes them.
    using VariableValues = QList<std::pair<int, float>>;

    explicit ParameterGroup(QObject *parent = nullptr);

    virtual int type() const = 0;
    virtual QString title() const = 0;
    // A new table model over this group, parented to it and wired to its
    // change signals.
    virtual TableModel *createModel() = 0;
    virtual ItemsFilterModel *createFilterModel() = 0;
    virtual int firstVariable() const = 0;
    virtual qsizetype valueCount() const;
    virtual ParameterValue &value(qsizetype index);
    virtual const ParameterValue &value(qsizetype index) const;
    // The row (and column, tooth) labels of value index < valueCount() as a
    // machine of that version names them, comma separated: what a report of
    // one value shows.
    virtual QString valueLabel(qsizetype index, ModelVersion version) const = 0;

    // The backup section name of a tag 1 to 5.
    static QString groupName(int tag);
    // Case-insensitive; 0 for anything that is not a section name.
    static int tagFromName(const QString &name);

    QString name() const { return groupName(type()); }
    Acpu::VarRange variableRange() const;
    // Takes every value from the connection's cache as clean; call it after a
    // read of variableRange() has finished without error. A NaN or infinity
    // pattern becomes MachineValue::NoNumber.
    void loadFromMachine(Acpu::Connection &connection);
    // asStored: the numbers become the clean state (a file opened), null
    // becoming MachineValue::NoNumber; otherwise they arrive as edits (an
    // import into existing values), and null leaves a value as it is.
    void fromJson(const QJsonObject &section, bool asStored);
    void toJson(QJsonObject &section) const;

    bool isModified() const;
    void accept();
    void revert();
    // Every value holds no number, stored and current: a group about to be
    // filled from a file that may lack some of them, which must then save as
    // null, not as an invented 0 that a restore would write. No signal: it is
    // meant for a group nothing shows yet.
    void clear();
    // What to write to the machine. Neither list ever holds a value that
    // MachineValue::fits refuses (NaN, infinity, beyond the float range), so a
    // variable whose parameter holds no number is not touched.
    // The modified values (editors' Apply, after an edit or paste).
    VariableValues modifiedValues() const;
    // Every value, modified or not (a restore).
    VariableValues definedValues() const;

signals:
    // The values changed as a whole (load, file, accept, revert).
    void DataChangedPrivate();
    // Any change, whole or through a table model.
    void DataChanged();

protected slots:
    void OnViewDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                           const QList<int> &roles = {});

protected:
    virtual void readJson(const QJsonObject &section, bool asStored) = 0;
    virtual void writeJson(QJsonObject &section) const = 0;

    // Sizes the value list once the definitions are known.
    void setValueCount(qsizetype count);
    // Wires a new model to the group's change signals and returns it.
    TableModel *adoptModel(TableModel *model);
    // Applies numbers[0 .. count) to the values from first on; null is no
    // number (see fromJson), any other missing or non-numeric element counts
    // as 0.0.
    void readNumbers(const QJsonArray &numbers, qsizetype first, qsizetype count, bool asStored);
    QJsonArray writeNumbers(qsizetype first, qsizetype count) const;

    QList<ParameterValue> m_values;
};
