#pragma once

#include "backup/backupfile.h"
#include "machinecommand.h"

#include <memory>

class BackupWriter;

// restore HOST FILE [--sections LIST] [--dry-run] [--force] [--no-safety-copy]
class RestoreCommand : public MachineCommand
{
    Q_OBJECT
public:
    explicit RestoreCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override
    {
        return QStringLiteral("HOST FILE [--sections LIST] [--dry-run] [--force] "
                              "[--no-safety-copy]");
    }
    void start() override;

protected:
    void addOptions(QCommandLineParser &parser) override;
    Result<void> take(const QCommandLineParser &parser) override;
    void work(MachineLink &link, Outcome &outcome, MachineLink::Done ended) override;

private:
    // Reads the machine's values of what would be written and lists those
    // that would change.
    void dryRun(BackupWriter *writer, MachineLink &link, Outcome &outcome, MachineLink::Done ended);
    void restore(BackupWriter *writer, MachineLink &link, Outcome &outcome,
                 MachineLink::Done ended);

    QString m_fileName;
    std::unique_ptr<BackupFile> m_file;
    QList<int> m_tags;
    bool m_dryRun = false;
    bool m_force = false;
    bool m_safetyCopy = true;
};
