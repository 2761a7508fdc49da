#include "command.h"

#include "acpu/hostport.h"

#include <QHostAddress>
#include <QLoggingCategory>
#include <QPointer>
#include <QRegularExpression>

#include <utility>

Command::Command(const QString &name, Needs needs, QObject *parent)
    : QObject(parent), m_name(name), m_needs(needs)
{
}

CommandLine<void> Command::prepare(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(summary());
    parser.addHelpOption();
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("One JSON document on standard output."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("No progress or log lines on standard error."));
    parser.addOptions({json, quiet});
    const QCommandLineOption ws(QStringLiteral("ws"),
                                QStringLiteral("Reach the machines through the local WebSocket "
                                               "relay (vrk6-relay) instead of Modbus TCP."));
    const QCommandLineOption relayPort(QStringLiteral("relay-port"),
                                       QStringLiteral("Port of the relay (default 8000)."),
                                       QStringLiteral("N"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Give up on a machine that is silent this long (default 10)."),
        QStringLiteral("SEC"));
    const QCommandLineOption jobsOption(QStringLiteral("jobs"),
                                        QStringLiteral("At most N machines at once (default 8)."),
                                        QStringLiteral("N"));
    if (m_needs & Machines)
        parser.addOptions({ws, relayPort, timeout});
    if (m_needs == MachineFleet)
        parser.addOption(jobsOption);
    addOptions(parser);

    auto bad = [this](const QString &message) {
        return badCommandLine(
            QStringLiteral("vrk6-cli %1: %2\nTry 'vrk6-cli %1 --help'.").arg(m_name, message));
    };
    if (auto parsed =
            parseCommandLine(parser, QStringList{QStringLiteral("vrk6-cli ") + m_name} + arguments);
        !parsed) {
        CommandLineExit &exit = parsed.error();
        if (exit.exitCode != CommandLineExit::Help)
            return bad(exit.text);
        // Qt's usage line names the binary's path and no command.
        exit.text.replace(0, exit.text.indexOf(QLatin1Char('\n')),
                          QStringLiteral("Usage: vrk6-cli %1 [options] %2").arg(m_name, syntax()));
        return parsed;
    }
    m_out.setJson(parser.isSet(json));
    m_out.setQuiet(parser.isSet(quiet));
    // The library's log lines would repeat, on standard error, a failure the
    // tool reports in its own words.
    if (parser.isSet(quiet))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n"
                                                        "*.warning=false"));
    auto number = [&parser](const QCommandLineOption &option, int min, int max, int *target) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < min || value > max)
            return false;
        *target = value;
        return true;
    };
    if (m_needs & Machines) {
        m_linkOptions.ws = parser.isSet(ws);
        int port = m_linkOptions.relayPort, seconds = m_linkOptions.timeoutMs / 1000;
        if (!number(relayPort, 1, 65535, &port))
            return bad(QStringLiteral("--relay-port: not a port number"));
        if (!number(timeout, 1, 3600, &seconds))
            return bad(QStringLiteral("--timeout: give whole seconds from 1 to 3600"));
        m_linkOptions.relayPort = static_cast<quint16>(port);
        m_linkOptions.timeoutMs = seconds * 1000;
    }
    if (m_needs == MachineFleet && !number(jobsOption, 1, 256, &m_jobs))
        return bad(QStringLiteral("--jobs: give a number from 1 to 256"));
    if (const auto taken = take(parser); !taken)
        return bad(taken.error());
    return {};
}

void Command::done()
{
    // Once: work that ends late after an interrupt finds the output written.
    if (!std::exchange(m_done, true))
        emit finished(m_out.finish(m_name));
}

void Command::interrupt()
{
    if (m_done)
        return;
    m_out.failure(m_name, QStringLiteral("interrupted"));
    done();
}

Result<void> Command::checkHosts(const QStringList &hosts)
{
    // A host name of DNS labels or an address: nothing that could be a path
    // (the relay carries the host in its URL path) or a typo'd option. An
    // IPv6 address's zone (fe80::1%eth0) is an interface name, which the
    // address parser would take with slashes or spaces as well.
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_]([A-Za-z0-9_.-]*)$"));
    for (const QString &host : hosts) {
        const auto parsed = Acpu::ParseHostPort(host, 1);
        const QHostAddress address(parsed ? parsed->host : QString());
        const QString zone = address.scopeId();
        if (!parsed || !(address.isNull() ? name.match(parsed->host).hasMatch()
                                          : zone.isEmpty() || name.match(zone).hasMatch()))
            return std::unexpected(
                QStringLiteral("not a machine address: '%1' (forms: m1.local, 10.0.0.5:1502, "
                               "[fe80::1]:1502)")
                    .arg(host));
    }
    return {};
}

void Command::follow(MachineJob *job, MachineLink &link, const QString &step,
                     MachineLink::Done ended)
{
    QPointer<MachineJob> guard(job);
    connect(job, &MachineJob::requestStarted, this, [this, &link, step](Acpu::Request *request) {
        link.alive();
        m_out.progress(link.host(), step, 0);
        connect(request, &Acpu::Request::progress, &link, [this, &link, step](int percent) {
            link.alive();
            m_out.progress(link.host(), step, percent);
        });
    });
    connect(job, &MachineJob::failed, this, [&link, ended](const MachineJobError &error) {
        link.unwatch();
        ended(jobErrorText(error));
    });
    link.watch([&link, guard, ended] {
        // Told while the job can still say how far it came; then it goes,
        // and a late end of its request finds nobody.
        ended(link.givenUpText());
        delete guard.data();
    });
}

void Command::startOrEnd(const MachineJob::Started &started, MachineLink &link,
                         const MachineLink::Done &ended)
{
    if (started)
        return;
    link.unwatch();
    ended(jobErrorText(started.error()));
}

QString Command::jobErrorText(const MachineJobError &error)
{
    switch (error.kind) {
    case MachineJobError::NotConnected:
        return QStringLiteral("the connection with the machine is broken");
    case MachineJobError::requestFailed:
        return (error.requestType == Acpu::Request::Read
                    ? QStringLiteral("reading from the machine failed: ")
                    : QStringLiteral("writing to the machine failed: ")) +
               error.message;
    case MachineJobError::NothingToWrite:
        return QStringLiteral("the backup file holds nothing to write");
    case MachineJobError::FileFailed:
    case MachineJobError::FileTooLarge:
        break;
    }
    return error.message;
}
