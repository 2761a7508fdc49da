#include "editors/parametersview.h"
#include "ui_parametersview.h"

#include "editors/valuecolumns.h"
#include "model/itemsfiltermodel.h"
#include "model/parametergroup.h"
#include "model/tablemodel.h"
#include "widgets/itemstylemodel.h"

#include <QCloseEvent>

ParametersView::ParametersView(ParameterGroup *group, TableModel *model, QWidget *parent)
    : QWidget(parent), ui(new Ui::ParametersView), group(group), filter(group->createFilterModel())
{
    ui->setupUi(this);
    setWindowTitle(group->title() + QStringLiteral(" [*]"));
    filter->setSourceModel(model);
    filter->setActiveVersion(model->activeVersion());
    ui->valueEditor->setModel(new ItemStyleModel(filter, ui->valueEditor));
    ui->valueEditor->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fitValueColumns(ui->valueEditor);
    connect(group, &ParameterGroup::DataChanged, this, &ParametersView::OnDataChanged);
    OnDataChanged();
}

ParametersView::~ParametersView()
{
    delete filter.data();
}

QTableViewClipboard *ParametersView::table() const
{
    return ui->valueEditor;
}

void ParametersView::setActiveItemsFilter(bool enabled)
{
    filter->setShowOnlyActive(enabled);
    ui->valueEditor->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void ParametersView::setFilterVersion(ModelVersion version)
{
    filter->setActiveVersion(version);
}

void ParametersView::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void ParametersView::OnDataChanged()
{
    const bool modified = group->isModified();
    if (modified == shownModified)
        return;
    shownModified = modified;
    setWindowModified(modified);
}
