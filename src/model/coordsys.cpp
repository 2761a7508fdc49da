#include "model/coordsys.h"

Coordsys::Coordsys(QObject *parent) : ParameterTable(parent)
{
    QList<ModelItem> rows;
    for (const QString &name : rowNames())
        rows.append(ModelItem(name, MachineMasks::AllMachines, 6, 0));
    setItems(rows, axisItems(), rowNames(), 0);
    // The coordinate systems follow a block of the machine's own, one row long.
    m_firstVariable = 1536 + static_cast<int>(columnItems().size());
}

const QStringList &Coordsys::rowNames()
{
    static const QStringList names = {
        QStringLiteral("G54"), QStringLiteral("G55"), QStringLiteral("G56"),
        QStringLiteral("G57"), QStringLiteral("G58"), QStringLiteral("G59"),
    };
    return names;
}

QString Coordsys::title() const
{
    return tr("G54 - G59");
}
