#pragma once

#include "backup/programsender.h"
#include "machinecommand.h"

// upload HOST... PROGRAM.cnc: the readiness check, the upload and the
// machine's result code, per machine.
class UploadCommand : public MachineCommand
{
    Q_OBJECT
public:
    explicit UploadCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override { return QStringLiteral("HOST... PROGRAM.cnc"); }
    void start() override;

protected:
    Result<void> take(const QCommandLineParser &parser) override;
    void work(MachineLink &link, Outcome &outcome, MachineLink::Done ended) override;

private:
    QString m_program;
    ProgramSender::Image m_image;
};
