#include "model/rparameters.h"

#include "model/itemsfiltermodel.h"
#include "model/tablemodel1d.h"

RParameters::RParameters(QObject *parent) : ParameterGroup(parent)
{
    for (int i = 0; i < 256; ++i) {
        m_items.append(ModelItem(QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0')),
                                 MachineMasks::AllMachines, 6, 0));
    }
    setValueCount(m_items.size());
}

QString RParameters::title() const
{
    return tr("R Parameters");
}

TableModel *RParameters::createModel()
{
    return adoptModel(new TableModel1D(&m_items, &values, this));
}

ItemsFilterModel *RParameters::createFilterModel()
{
    return new ItemsFilterModel(&m_items, nullptr, this);
}

void RParameters::readJson(const QJsonObject &section, bool asStored)
{
    readValuesSection(section, asStored);
}

void RParameters::writeJson(QJsonObject &section) const
{
    writeValuesSection(section);
}
