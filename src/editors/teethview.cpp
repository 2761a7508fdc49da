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
    : QWidget(parent), ui(new Ui::TeethView), m_group(group), m_model(model),
      m_valuesFilter(group->createFilterModel()), m_shapesFilter(group->createShapesFilterModel())
{
    // Connects the shape selector by name before it gets its model, so that
    // filling it selects the first shape.
    ui->setupUi(this);
    setWindowTitle(group->title() + QStringLiteral(" [*]"));
    m_valuesFilter->setSourceModel(model);
    m_valuesFilter->setActiveVersion(model->activeVersion());
    ui->valueEditor->setModel(new ItemStyleModel(m_valuesFilter, ui->valueEditor));
    ui->valueEditor->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fitValueColumns(ui->valueEditor);
    connect(group, &ParameterGroup::DataChanged, this, &TeethView::OnDataChanged);
    m_shapesFilter->setSourceModel(groups);
    m_shapesFilter->setActiveVersion(model->activeVersion());
    ui->group->setModel(new ItemStyleModel(m_shapesFilter, ui->group));
    OnDataChanged();
}

TeethView::~TeethView()
{
    // The shape selector still reads its current item while its model goes.
    delete m_valuesFilter.data();
    delete m_shapesFilter.data();
}

QTableViewClipboard *TeethView::table() const
{
    return ui->valueEditor;
}

void TeethView::setActiveItemsFilter(bool enabled)
{
    m_valuesFilter->setShowOnlyActive(enabled);
    m_shapesFilter->setShowOnlyActive(enabled);
}

void TeethView::setFilterVersion(ModelVersion version)
{
    m_valuesFilter->setActiveVersion(version);
    m_shapesFilter->setActiveVersion(version);
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
        m_model->setCurrentShape(shape);
}

void TeethView::OnDataChanged()
{
    const bool modified = m_group->isModified();
    if (modified == m_shownModified)
        return;
    m_shownModified = modified;
    setWindowModified(modified);
}
