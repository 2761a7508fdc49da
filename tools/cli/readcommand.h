#pragma once

#include "acpu/varrange.h"
#include "machinecommand.h"

// read HOST START[:LEN]... [--float|--int]: machine variables.
class ReadCommand : public MachineCommand
{
    Q_OBJECT
public:
    explicit ReadCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override
    {
        return QStringLiteral("HOST START[:LEN]... [--int|--float]");
    }

protected:
    void addOptions(QCommandLineParser &parser) override;
    Result<void> take(const QCommandLineParser &parser) override;
    void work(MachineLink &link, Outcome &outcome, MachineLink::Done ended) override;

private:
    Acpu::VarRanges m_ranges;
    bool m_int = true;
    bool m_float = true;
};
