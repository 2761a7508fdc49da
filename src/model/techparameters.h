#pragma once

#include "model/parameterlist.h"

// The technological constants of the machine, variables 1024 to 1279.
class TechParameters : public ParameterList
{
    Q_OBJECT
public:
    explicit TechParameters(QObject *parent = nullptr);

    int type() const override { return GroupTags::TechParams; }
    QString title() const override;
    int firstVariable() const override { return 1024; }
};
