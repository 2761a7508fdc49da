#pragma once

#include "acpu/varrange.h"
#include "core/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One client command, checked completely before anything reaches a machine.
struct RelayCommand
{
    enum Verb
    {
        Refresh,
        Key,
        GetVars,
        SetVars
    };

    static constexpr int MaxValues = 60;
    // Every variable must fit the Modbus register space, two registers each.
    static constexpr int VariableCount = 32768;

    Verb verb = Refresh;
    int key = 0;
    int tid = 0;
    Acpu::VarRange range;              // GetVars
    QList<std::pair<int, int>> values; // SetVars: index and bits, ordered by index

    // The command, or why the message is not one.
    static Result<RelayCommand> parse(const QByteArray &utf8);
};
