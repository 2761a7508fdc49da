#pragma once

#include "backup/machinejob.h"
#include "commandline.h"
#include "core/result.h"
#include "machinelink.h"
#include "output.h"

#include <QCommandLineParser>
#include <QObject>
#include <QStringList>

// One subcommand: its command line, its work on the event loop, its output.
// main() parses with prepare(), then calls start() and waits for finished().
class Command : public QObject
{
    Q_OBJECT
public:
    // What a command needs besides its own options.
    enum Needs
    {
        Files = 0,
        Machines = 1,     // --ws, --relay-port, --timeout
        MachineFleet = 3, // also --jobs
    };

    Command(const QString &name, Needs needs, QObject *parent = nullptr);

    QString name() const { return m_name; }
    virtual QString summary() const = 0;
    // The positional arguments in the help's usage line.
    virtual QString syntax() const = 0;

    // Parses the arguments after the command name; help or a bad command
    // line ends the tool.
    CommandLine<void> prepare(const QStringList &arguments);
    virtual void start() = 0;
    // Ctrl-C or SIGTERM: ends the work with what has been done so far said.
    virtual void interrupt();

signals:
    void finished(int exitCode);

protected:
    virtual void addOptions(QCommandLineParser &) {}
    // Takes the parsed options; fails with the reason for a bad command line.
    virtual Result<void> take(const QCommandLineParser &parser) = 0;
    // Ends the command with the output's exit code.
    void done();

    // Runs a machine job on the link: progress of its requests on standard
    // error, and a job that stays silent for the time-out is deleted and
    // reported through ended(). Its own failure ends it with the reason.
    void follow(MachineJob *job, MachineLink &link, const QString &step, MachineLink::Done ended);
    // A job's start that the connection refused ends the work at once.
    static void startOrEnd(const MachineJob::Started &started, MachineLink &link,
                           const MachineLink::Done &ended);
    static QString jobErrorText(const MachineJobError &error);

    // Checks that every argument is a machine address.
    static Result<void> checkHosts(const QStringList &hosts);

    Output m_out;
    MachineLink::Options m_linkOptions;
    int m_jobs = 8;

private:
    QString m_name;
    Needs m_needs;
    bool m_done = false;
};
