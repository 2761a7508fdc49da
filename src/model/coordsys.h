#pragma once

#include "model/parametertable.h"

#include <QStringList>

// The work coordinate systems G54 to G59, one row each, one column per axis.
class Coordsys : public ParameterTable
{
    Q_OBJECT
public:
    explicit Coordsys(QObject *parent = nullptr);

    int type() const override { return GroupTags::Coordsys; }
    QString title() const override;
    int firstVariable() const override { return m_firstVariable; }

    // The row labels, which are also the section keys.
    static const QStringList &rowNames();

private:
    int m_firstVariable = 0;
};
