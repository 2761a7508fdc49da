#include "editors/parametersview.h"
#include "ui_parametersview.h"

#include "editors/valuecolumns.h"
#include "model/itemsfiltermodel.h"
#include "model/parametergroup.h"
#include "model/tablemodel.h"
#include "widgets/itemstylemodel.h"

#include <QCloseEvent>

ParametersView::ParametersView(ParameterGroup *group, TableModel *model, QWidget *parent)
    : QWidget(parent), ui(new Ui::ParametersView), m_group(group),
      m_filter(group->createFilterModel())
{
    ui->setupUi(this);
    setWindowTitle(group->title() + QStringLiteral(" [*]"));
    m_filter->setSourceModel(model);
    m_filter->setActiveVersion(model->activeVersion());
    ui->valueEditor->setModel(new ItemStyleModel(m_filter, ui->valueEditor));
    ui->valueEditor->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fitValueColumns(ui->valueEditor);
    connect(group, &ParameterGroup::DataChanged, this, &ParametersView::OnDataChanged);
    OnDataChanged();
}

ParametersView::~ParametersView()
{
    delete m_filter.data();
}

QTableViewClipboard *ParametersView::table() const
{
    return ui->valueEditor;
}

void ParametersView::setActiveItemsFilter(bool enabled)
{
    m_filter->setShowOnlyActive(enabled);
    ui->valueEditor->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void ParametersView::setFilterVersion(ModelVersion version)
{
    m_filter->setActiveVersion(version);
}

void ParametersView::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void ParametersView::OnDataChanged()
{
    const bool modified = m_group->isModified();
    if (modified == m_shownModified)
        return;
    m_shownModified = modified;
    setWindowModified(modified);
}
