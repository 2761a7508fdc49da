#include "model/tools.h"

Tools::Tools(QObject *parent) : ParameterTable(parent)
{
    QList<ModelItem> rows = {ModelItem(tr("Tool T%1").arg(0), ModelItem::Disabled)};
    QStringList keys;
    for (int n = 1; n < 10; ++n) {
        rows.append(ModelItem(tr("Tool T%1").arg(n), MachineMasks::AllMachines, 6, 0));
        keys.append(QStringLiteral("T%1").arg(n));
    }
    // Row T0 has no key: it is neither read from nor written to a section.
    setItems(rows, axisItems(), keys, 1);
}

QString Tools::title() const
{
    return tr("Tools Parameters");
}
