#include "model/tablemodel.h"

#include "model/machinevalue.h"

TableModel::TableModel(QObject *parent) : QAbstractTableModel(parent) {}

void TableModel::DataStoreChanged()
{
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows > 0 && columns > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columns - 1), {});
}

void TableModel::setActiveVersion(ModelVersion value)
{
    if (value == m_activeVersion)
        return;
    m_activeVersion = value;
    // Cell colours follow on the next repaint; only the headers announce it.
    if (const int rows = rowCount(); rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    if (const int columns = columnCount(); columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns - 1);
}

void TableModel::setReadOnly(bool value)
{
    if (value == m_readOnly)
        return;
    m_readOnly = value;
    DataStoreChanged();
}

TableModel::CellState TableModel::cellState(std::initializer_list<const ModelItem *> items) const
{
    CellState state;
    for (const ModelItem *item : items) {
        const ModelItem::State s = item->state(m_activeVersion);
        if (s != ModelItem::Active)
            state.active = false;
        if (s == ModelItem::Disabled)
            state.disabled = true;
    }
    return state;
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    const ParameterValue *value = contains(index) ? valueAt(index) : nullptr;
    if (!value)
        return {};
    return valueData(*value, stateAt(index), role);
}

bool TableModel::setData(const QModelIndex &index, const QVariant &data, int role)
{
    ParameterValue *value = contains(index) ? valueAt(index) : nullptr;
    if (!value)
        return false;
    return setValueData(*value, stateAt(index), index, data, role);
}

Qt::ItemFlags TableModel::flags(const QModelIndex &index) const
{
    if (!contains(index) || !valueAt(index))
        return QAbstractTableModel::flags(index);
    return valueFlags(index, stateAt(index));
}

bool TableModel::contains(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < rowCount() &&
           index.column() < columnCount();
}

QVariant TableModel::valueData(const ParameterValue &value, CellState state, int role) const
{
    const bool number = MachineValue::fits(value.value());
    switch (role) {
    case Qt::DisplayRole:
        return number ? QString::number(value.value(), 'f', 6) : QString();
    case Qt::EditRole:
        // Not the rounded display: committing an editor unchanged must give
        // back the very float the machine holds.
        return MachineValue::editText(value.value());
    case Qt::ToolTipRole:
        if (number)
            return {};
        return tr("No number: the machine holds no valid value here. It is not written to the "
                  "machine unless you enter a number.");
    case ItalicRole:
        return value.isModified() ? QVariant(true) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case ForegroundColorRole:
        if (!state.active)
            return QVariant::fromValue(Qt::lightGray);
        return QVariant::fromValue(value.isModified() ? Qt::red : Qt::black);
    default:
        return {};
    }
}

bool TableModel::setValueData(ParameterValue &value, CellState state, const QModelIndex &index,
                              const QVariant &data, int role)
{
    if (role != Qt::EditRole || state.disabled)
        return false;
    bool ok = false;
    const double number = data.toDouble(&ok);
    // toDouble takes "nan" and "inf"; neither (nor a number too large for the
    // machine's 32-bit floats) may reach a machine parameter.
    if (!ok || !MachineValue::fits(number))
        return false;
    value.setValue(number);
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TableModel::valueFlags(const QModelIndex &index, CellState state) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (contains(index) && !m_readOnly && !state.disabled)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TableModel::itemHeaderData(const QList<ModelItem> *items, int section, int role) const
{
    if (!items || section < 0 || section >= items->size())
        return {};
    const ModelItem &item = items->at(section);
    const ModelItem::State state = item.state(m_activeVersion);
    switch (role) {
    case Qt::DisplayRole:
        return item.label(m_activeVersion);
    case Qt::ToolTipRole:
        return state == ModelItem::Active ? QVariant() : QVariant(ModelItem::stateName(state));
    case ForegroundColorRole:
        return state == ModelItem::Active ? QVariant() : QVariant::fromValue(Qt::lightGray);
    default:
        return {};
    }
}
