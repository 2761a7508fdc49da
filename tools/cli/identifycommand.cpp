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

Result<void> IdentifyCommand::take(const QCommandLineParser &parser)
{
    m_hosts = parser.positionalArguments();
    if (m_hosts.isEmpty())
        return std::unexpected(QStringLiteral("name at least one machine"));
    return checkHosts(m_hosts);
}

void IdentifyCommand::work(MachineLink &link, Outcome &outcome, MachineLink::Done ended)
{
    outcome.lines.append(link.host() + QStringLiteral(": ") + identityText(link.machine()));
    ended(QString());
}
