#include "identifycommand.h"

IdentifyCommand::IdentifyCommand(QObject *parent)
    : MachineCommand(QStringLiteral("identify"), MachineFleet, parent)
{
}

QString IdentifyCommand::summary() const
{
    return QStringLiteral("Machine type, data-model version, serial or B/N number and software "
                          "version of each machine.");
}

std::optional<QString> IdentifyCommand::take(const QCommandLineParser &parser)
{
    hosts = parser.positionalArguments();
    if (hosts.isEmpty())
        return QStringLiteral("name at least one machine");
    return checkHosts(hosts);
}

void IdentifyCommand::work(MachineLink &link, Outcome &outcome, MachineLink::Done ended)
{
    outcome.lines.append(link.host() + QStringLiteral(": ") + identityText(link.machine()));
    ended(QString());
}
