#pragma once

#include "model/modelversion.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class ItemsFilterModel;
class ParameterGroup;
class QTableViewClipboard;
class TableModel;

namespace Ui {
class ParametersView;
}

// The table of one parameter group without any machine behind it, for the
// documents of the Backup File Editor. The group and the model belong to the
// caller and must outlive the view.
class ParametersView : public QWidget
{
    Q_OBJECT
public:
    ParametersView(ParameterGroup *group, TableModel *model, QWidget *parent = nullptr);
    ~ParametersView() override;

    QTableViewClipboard *table() const;

public slots:
    void setActiveItemsFilter(bool enabled);
    void setFilterVersion(ModelVersion version);

protected:
    // A view lives as long as its document: it never closes on its own.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void OnDataChanged();

private:
    std::unique_ptr<Ui::ParametersView> ui;
    ParameterGroup *m_group;
    // Made for this view alone; the group is its parent, the view deletes it.
    QPointer<ItemsFilterModel> m_filter;
    bool m_shownModified = false;
};
