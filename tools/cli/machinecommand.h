#pragma once

#include "command.h"

#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

class Fleet;

// A command that works on machines: each is connected and identified, then
// given to work(), at most --jobs at a time. Results are printed at the end
// in the order the machines were named; a failed machine makes exit code 1.
class MachineCommand : public Command
{
    Q_OBJECT
public:
    using Command::Command;
    void start() override;
    void interrupt() override;

protected:
    struct Outcome
    {
        QJsonObject json;  // this machine's entry of "results"
        QStringList lines; // its text form
    };
    // Called with the machine open and identified; calls ended() once, with
    // an error text or empty on success.
    virtual void work(MachineLink &link, Outcome &outcome, MachineLink::Done ended) = 0;

    // The identification as JSON and as a line for people.
    static QJsonObject identityJson(Machine &machine);
    static QString identityText(Machine &machine);

    QStringList m_hosts;

private:
    void runOne(qsizetype index, std::function<void()> ended);
    void report();

    QList<Outcome> m_outcomes;
    QStringList m_errors;
    Fleet *m_fleet = nullptr;
    QList<QPointer<MachineLink>> m_links; // of the machines at work
};
