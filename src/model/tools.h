#pragma once

#include "model/parametertable.h"

// The tool table, Tool T0 to Tool T9, one column per axis. T0 is not a real
// tool: it is never edited and never travels in a backup.
class Tools : public ParameterTable
{
    Q_OBJECT
public:
    explicit Tools(QObject *parent = nullptr);

    int type() const override { return GroupTags::Tools; }
    QString title() const override;
    int firstVariable() const override { return 1280; }
};
