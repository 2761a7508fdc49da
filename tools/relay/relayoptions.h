#pragma once

#include "commandline.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

// What the relay is told on its command line.
struct RelayOptions
{
    static constexpr quint16 DefaultPort = 8000;

    QHostAddress listen{QHostAddress::LocalHost};
    quint16 port = DefaultPort;

    // Parses the arguments; --help or a bad command line ends the tool.
    static CommandLine<RelayOptions> parse(const QStringList &arguments);
};
