#include "model/rparameters.h"

RParameters::RParameters(QObject *parent) : ParameterList(parent)
{
    QList<ModelItem> items;
    for (int i = 0; i < 256; ++i) {
        items.append(ModelItem(QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0')),
                               MachineMasks::AllMachines, 6, 0));
    }
    setItems(items);
}

QString RParameters::title() const
{
    return tr("R Parameters");
}
