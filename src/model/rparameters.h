#pragma once

#include "model/parameterlist.h"

// The R parameters R000 to R255, variables 1792 to 2047.
class RParameters : public ParameterList
{
    Q_OBJECT
public:
    explicit RParameters(QObject *parent = nullptr);

    int type() const override { return GroupTags::RParams; }
    QString title() const override;
    int firstVariable() const override { return 1792; }
};
