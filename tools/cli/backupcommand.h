#pragma once

#include "machinecommand.h"

// backup HOST... (-o FILE | --dir DIR) [--with-teeth]: a backup file per
// machine, all machines at once.
class BackupCommand : public MachineCommand
{
    Q_OBJECT
public:
    explicit BackupCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override
    {
        return QStringLiteral("HOST... (-o FILE | --dir DIR) [--with-teeth]");
    }

protected:
    void addOptions(QCommandLineParser &parser) override;
    Result<void> take(const QCommandLineParser &parser) override;
    void work(MachineLink &link, Outcome &outcome, MachineLink::Done ended) override;

private:
    // <type>-<serial>-<yyyyMMdd-HHmmss>.vrk in the directory, not yet taken.
    QString fileNameFor(Machine &machine) const;

    QString m_file;
    QString m_dir;
    bool m_overwrite = false;
    QList<int> m_tags;
};
