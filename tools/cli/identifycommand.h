#pragma once

#include "machinecommand.h"

// identify HOST...: machine type, data-model version, serial or B/N, software.
class IdentifyCommand : public MachineCommand
{
    Q_OBJECT
public:
    explicit IdentifyCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override { return QStringLiteral("HOST..."); }

protected:
    Result<void> take(const QCommandLineParser &parser) override;
    void work(MachineLink &link, Outcome &outcome, MachineLink::Done ended) override;
};
