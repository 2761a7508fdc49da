#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

// What the relay is told on its command line.
struct RelayOptions
{
    static constexpr quint16 DefaultPort = 8000;

    QHostAddress listen{QHostAddress::LocalHost};
    quint16 port = DefaultPort;

    // Parses the arguments; on failure (or --help) returns the text to print.
    static std::optional<RelayOptions> Parse(const QStringList &arguments, QString *message);
};
