#include "editors/teethview.h"
#include "ui_teethview.h"

#include "editors/valuecolumns.h"
#include "model/itemsfiltermodel.h"
#include "model/tablemodelteeth.h"
#include "model/teeth.h"
#include "model/teethgroupsmodel.h"
#include "widgets/itemstylemodel.h"

#include <QCloseEvent>

TeethView::TeethView(Teeth *group, TableModelTeeth *model, TeethGroupsModel *groups,
                     QWidget *parent)
    : QWidget(parent), ui(new Ui::TeethView), group(group), model(model),
      valuesFilter(group->createFilterModel()), shapesFilter(group->createShapesFilterModel())
{
    // Connects the shape selector by name before it gets its model, so that
    // filling it selects the first shape.
    ui->setupUi(this);
    setWindowTitle(group->title() + QStringLiteral(" [*]"));
    valuesFilter->setSourceModel(model);
    valuesFilter->setActiveVersion(model->activeVersion());
    ui->valueEditor->setModel(new ItemStyleModel(valuesFilter, ui->valueEditor));
    ui->valueEditor->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fitValueColumns(ui->valueEditor);
    connect(group, &ParameterGroup::DataChanged, this, &TeethView::OnDataChanged);
    shapesFilter->setSourceModel(groups);
    shapesFilter->setActiveVersion(model->activeVersion());
    ui->group->setModel(new ItemStyleModel(shapesFilter, ui->group));
    OnDataChanged();
}

TeethView::~TeethView()
{
    // The shape selector still reads its current item while its model goes.
    delete valuesFilter.data();
    delete shapesFilter.data();
}

QTableViewClipboard *TeethView::table() const
{
    return ui->valueEditor;
}

void TeethView::setActiveItemsFilter(bool enabled)
{
    valuesFilter->setShowOnlyActive(enabled);
    shapesFilter->setShowOnlyActive(enabled);
}

void TeethView::setFilterVersion(ModelVersion version)
{
    valuesFilter->setActiveVersion(version);
    shapesFilter->setActiveVersion(version);
}

void TeethView::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void TeethView::on_group_currentIndexChanged(int)
{
    bool ok = false;
    const int shape = ui->group->currentData(Qt::UserRole).toInt(&ok);
    if (ok)
        model->setCurrentShape(shape);
}

void TeethView::OnDataChanged()
{
    const bool modified = group->isModified();
    if (modified == shownModified)
        return;
    shownModified = modified;
    setWindowModified(modified);
}
