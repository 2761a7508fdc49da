#pragma once

#include "model/modelversion.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class ItemsFilterModel;
class QTableViewClipboard;
class TableModelTeeth;
class Teeth;
class TeethGroupsModel;

namespace Ui {
class TeethView;
}

// The teeth parameters without any machine behind them, one tooth shape at a
// time, for the documents of the Backup File Editor. The group and both
// models belong to the caller and must outlive the view.
class TeethView : public QWidget
{
    Q_OBJECT
public:
    TeethView(Teeth *group, TableModelTeeth *model, TeethGroupsModel *groups,
              QWidget *parent = nullptr);
    ~TeethView() override;

    QTableViewClipboard *table() const;

public slots:
    void setActiveItemsFilter(bool enabled);
    void setFilterVersion(ModelVersion version);

protected:
    // A view lives as long as its document: it never closes on its own.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_group_currentIndexChanged(int index);
    void OnDataChanged();

private:
    std::unique_ptr<Ui::TeethView> ui;
    Teeth *m_group;
    TableModelTeeth *m_model;
    // Made for this view alone; the group is their parent, the view deletes
    // them.
    QPointer<ItemsFilterModel> m_valuesFilter;
    QPointer<ItemsFilterModel> m_shapesFilter;
    bool m_shownModified = false;
};
