#pragma once

#include "commandline.h"
#include "model/machinetype.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// Everything the simulated control unit is told on its command line.
struct SimOptions
{
    QHostAddress listen{QHostAddress::LocalHost};
    quint16 port = 1502;
    MachineType type = VrkC1;
    uint modelVersion = 8;
    uint serial = 1000;
    uint bn = 0;
    uint software = 612;
    QString stateFile;
    QString programsDir;
    uint uploadResult = 2;
    bool uploadDisabled = false;
    uint delayMs = 0;
    int exceptionStart = -1;
    int exceptionLength = 0;
    uint dropAfter = 0; // 0: never
    // Writes to start..start+length-1 are stored clamped to max.
    struct Clamp
    {
        int start = 0;
        int length = 0;
        float max = 0;
    };
    QList<Clamp> clamps;
    bool logWrites = false;
    QString name;
    bool announce = true;

    // The instance name announced by DNS-SD when none is given.
    QString instanceName() const;
    // Parses the arguments; --help or a bad command line ends the tool.
    static CommandLine<SimOptions> parse(const QStringList &arguments);
};
