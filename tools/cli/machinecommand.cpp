#include "machinecommand.h"

#include "fleet.h"
#include "model/machinetype.h"

#include <QJsonArray>

void MachineCommand::start()
{
    m_outcomes.resize(m_hosts.size());
    m_errors.resize(m_hosts.size());
    m_links.resize(m_hosts.size());
    m_fleet = new Fleet(
        m_hosts.size(), m_jobs,
        [this](qsizetype index, std::function<void()> ended) { runOne(index, std::move(ended)); },
        this);
    connect(m_fleet, &Fleet::finished, this, &MachineCommand::report);
    m_fleet->run();
}

void MachineCommand::interrupt()
{
    // Before the machines or a second time: end now.
    if (!m_fleet || m_links.isEmpty())
        return Command::interrupt();
    // Each machine at work ends its step as failed, saying how far it came
    // (a restore: which groups the machine holds now); the report follows.
    const qsizetype first = m_fleet->stop();
    for (qsizetype i = first; i < m_hosts.size(); ++i)
        m_errors[i] = QStringLiteral("interrupted before it was started");
    for (const QPointer<MachineLink> &link : std::exchange(m_links, {})) {
        if (link)
            link->interrupt();
    }
}

void MachineCommand::runOne(qsizetype index, std::function<void()> ended)
{
    const QString host = m_hosts.at(index);
    auto *link = new MachineLink(host, m_linkOptions, this);
    m_links[index] = link;
    auto finish = [this, link, index, ended](const QString &error) {
        m_errors[index] = error;
        m_out.progress(link->host(), error.isEmpty() ? QStringLiteral("done") : error);
        link->deleteLater();
        ended();
    };
    m_out.progress(host, QStringLiteral("connecting"));
    link->open([this, link, index, finish](const QString &error) {
        if (!error.isEmpty())
            return finish(error);
        m_outcomes[index].json.insert(QStringLiteral("machine"), identityJson(link->machine()));
        work(*link, m_outcomes[index], finish);
    });
}

void MachineCommand::report()
{
    for (qsizetype i = 0; i < m_hosts.size(); ++i) {
        QJsonObject json = m_outcomes.at(i).json;
        json.insert(QStringLiteral("host"), m_hosts.at(i));
        json.insert(QStringLiteral("ok"), m_errors.at(i).isEmpty());
        if (!m_errors.at(i).isEmpty()) {
            json.insert(QStringLiteral("error"), m_errors.at(i));
            m_out.failure(m_hosts.at(i), m_errors.at(i));
        }
        for (const QString &line : m_outcomes.at(i).lines)
            m_out.text(line);
        m_out.result(json);
    }
    done();
}

QJsonObject MachineCommand::identityJson(Machine &machine)
{
    const ModelVersion version = machine.modelVersion();
    return {{QStringLiteral("type"), MachineDescription::machineTypeName(version.type())},
            {QStringLiteral("title"), machine.typeTitle()},
            {QStringLiteral("modelVersion"), qint64(version.version())},
            {QStringLiteral("serial"), qint64(machine.serialNumber())},
            {QStringLiteral("bn"), qint64(machine.bnNumber())},
            {QStringLiteral("ident"), machine.identText()},
            {QStringLiteral("software"), qint64(machine.softwareVersion())},
            {QStringLiteral("softwareText"), machine.softwareText()}};
}

QString MachineCommand::identityText(Machine &machine)
{
    return QStringLiteral("%1, %2, %3")
        .arg(machine.modelVersion().toString(), machine.identText(), machine.softwareText());
}
