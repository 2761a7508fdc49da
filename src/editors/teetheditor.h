#pragma once

#include "editors/liveeditor.h"

#include <memory>

class ItemsFilterModel;
class TableModelTeeth;
class Teeth;
class TeethGroupsModel;

namespace Ui {
class TeethEditor;
}

// The live editor of the teeth parameters: one tooth shape at a time, chosen
// above the table; reads and writes cover every shape.
class TeethEditor : public LiveEditor
{
    Q_OBJECT
public:
    // Takes ownership of the group.
    TeethEditor(Machine *machine, Teeth *group, QWidget *parent = nullptr);
    ~TeethEditor() override;

protected:
    void setActiveItemsFilter(bool enabled) override;

private slots:
    void on_group_currentIndexChanged(int index);

private:
    std::unique_ptr<Ui::TeethEditor> ui;
    TeethGroupsModel *m_shapesModel;
    ItemsFilterModel *m_shapesFilter;
};
