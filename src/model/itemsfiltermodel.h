#pragma once

#include "model/modelitem.h"
#include "model/modelversion.h"

#include <QSortFilterProxyModel>

// Hides the rows (and columns) whose items are not active for a data-model
// version, when asked to.
class ItemsFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    // columns may be null for one-column tables and the shape list.
    ItemsFilterModel(const QList<ModelItem> *rows, const QList<ModelItem> *columns,
                     QObject *parent);

    bool showOnlyActive() const { return m_showOnlyActive; }
    ModelVersion activeVersion() const { return m_activeVersion; }

public slots:
    void setShowOnlyActive(bool value);
    void setActiveVersion(ModelVersion value);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex &sourceParent) const override;

private:
    bool accepts(const QList<ModelItem> *items, int section) const;

    const QList<ModelItem> *m_rows;
    const QList<ModelItem> *m_columns;
    bool m_showOnlyActive = false;
    ModelVersion m_activeVersion;
};
