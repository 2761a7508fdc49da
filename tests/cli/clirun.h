#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

// One run of vrk6-cli to its end.
struct CliRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;

    // The JSON output's value at a path of keys and indexes ("results/0/file").
    QJsonValue at(const QString &path) const;
    // The text form's lines on standard output.
    QStringList lines() const;
};

// Arguments split at spaces: the tests' paths and hosts hold none.
CliRun cli(const QString &arguments);
