#pragma once

#include "model/modelitem.h"
#include "model/modelversion.h"
#include "model/parametervalue.h"

#include <QAbstractTableModel>

#include <initializer_list>

// The common ground of the parameter table models: the active data-model
// version that decides what is greyed out, and the read-only switch.
// Subclasses hold pointers into their group's lists, so the group (their
// parent) must outlive them.
class TableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The font and colour of a cell or header in terms without Qt Gui, so
    // that the command-line tool runs where no display libraries are:
    // ItalicRole is true where the font is italic, ForegroundColorRole holds
    // a Qt::GlobalColor. The windows see them as Qt::FontRole and
    // Qt::ForegroundRole through ItemStyleModel.
    enum StyleRole
    {
        ItalicRole = Qt::UserRole + 1,
        ForegroundColorRole
    };

    explicit TableModel(QObject *parent = nullptr);

    ModelVersion activeVersion() const { return m_activeVersion; }
    bool readOnly() const { return m_readOnly; }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

public slots:
    // The group's values changed as a whole: every cell repaints.
    void DataStoreChanged();
    void setActiveVersion(ModelVersion value);
    void setReadOnly(bool value);

protected:
    // How the items of a cell combine for the active version.
    struct CellState
    {
        bool active = true;
        bool disabled = false;
    };
    CellState cellState(std::initializer_list<const ModelItem *> items) const;
    bool contains(const QModelIndex &index) const;

    // Each table shape finds the value of a cell (inside the table) and the
    // items that decide its state; data(), setData() and flags() do the rest.
    // A model without values (the shape list) finds none.
    virtual ParameterValue *valueAt(const QModelIndex &) const { return nullptr; }
    virtual CellState stateAt(const QModelIndex &) const { return {}; }

    QVariant valueData(const ParameterValue &value, CellState state, int role) const;
    bool setValueData(ParameterValue &value, CellState state, const QModelIndex &index,
                      const QVariant &data, int role);
    Qt::ItemFlags valueFlags(const QModelIndex &index, CellState state) const;
    QVariant itemHeaderData(const QList<ModelItem> *items, int section, int role) const;

private:
    ModelVersion m_activeVersion;
    bool m_readOnly = false;
};
