#include "machinecommand.h"

#include "fleet.h"
#include "model/machinetype.h"

#include <QJsonArray>

void MachineCommand::start()
{
    m_outcomes.resize(m_hosts.size());
    m_errors.resize(m_hosts.size());
    auto *fleet = new Fleet(
        m_hosts.size(), m_jobs,
        [this](qsizetype index, std::function<void()> ended) { runOne(index, std::move(ended)); },
        this);
    connect(fleet, &Fleet::finished, this, &MachineCommand::report);
    fleet->run();
}

void MachineCommand::runOne(qsizetype index, std::function<void()> ended)
{
    const QString host = m_hosts.at(index);
    auto *link = new MachineLink(host, m_linkOptions, this);
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
