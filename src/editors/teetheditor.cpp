#include "editors/teetheditor.h"
#include "ui_teetheditor.h"

#include "model/itemsfiltermodel.h"
#include "model/machine.h"
#include "model/tablemodelteeth.h"
#include "model/teeth.h"
#include "model/teethgroupsmodel.h"
#include "widgets/itemstylemodel.h"

TeethEditor::TeethEditor(Machine *machine, Teeth *group, QWidget *parent)
    : LiveEditor(machine, group, parent), ui(new Ui::TeethEditor),
      m_shapesModel(group->createShapesModel()), m_shapesFilter(group->createShapesFilterModel())
{
    // Connects the shape selector by name before it gets its model, so that
    // filling it selects the first shape.
    ui->setupUi(this);
    attach({ui->valueEditor, ui->buttonBox, ui->actionOpen, ui->actionRefresh1s,
            ui->actionRefresh100ms});
    m_shapesModel->setActiveVersion(machine->modelVersion());
    m_shapesFilter->setSourceModel(m_shapesModel);
    m_shapesFilter->setActiveVersion(machine->modelVersion());
    ui->group->setModel(new ItemStyleModel(m_shapesFilter, ui->group));
}

TeethEditor::~TeethEditor()
{
    // The shape selector must not follow its model into the group's death.
    ui->group->disconnect(this);
}

void TeethEditor::setActiveItemsFilter(bool enabled)
{
    m_shapesFilter->setShowOnlyActive(enabled);
    LiveEditor::setActiveItemsFilter(enabled);
}

void TeethEditor::on_group_currentIndexChanged(int)
{
    bool ok = false;
    const int shape = ui->group->currentData(Qt::UserRole).toInt(&ok);
    if (ok)
        static_cast<TableModelTeeth *>(m_model)->setCurrentShape(shape);
}
