#pragma once

#include "backup/backupreader.h"
#include "model/parametergroup.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class BackupFile;
class Machine;

// One variable whose value read back after a restore is not what was sent
// (a machine may clamp or refuse a value without an error).
struct ValueDifference
{
    int variable = 0;
    QString group; // the group's title
    QString item;  // the value's label, as the machine's model version names it
    float sent = 0;
    float read = 0;
};

// Writes a backup file's values into a machine and reads them back. No
// widgets: the window job and the command-line tool wrap it.
//
// Only what the file carries is written: sections it lacks, keys missing
// inside a section (the tool row T0 never travels in a file), and values that
// are not finite numbers are left alone on the machine.
//
// Optionally it first saves a safety copy of the machine's current values of
// the same sections. start() either fails at once or ends later in exactly one
// of done() and failed(); a safety copy that cannot be saved pauses the job
// with safetyCopyFailed() until proceed() is called (or the writer deleted).
class BackupWriter : public MachineJob
{
    Q_OBJECT
public:
    explicit BackupWriter(Machine *machine, QObject *parent = nullptr);
    ~BackupWriter() override;

    // Takes the sections of file that are among tags (unknown tags are
    // skipped); the file may go away afterwards.
    void setBackup(const BackupFile &file, const QList<int> &tags = BackupReader::backupTags());
    // The tags that will be written, ascending.
    QList<int> tags() const;
    // The (variable, value) pairs start() writes, in tag and value order.
    ParameterGroup::VariableValues plannedValues() const;
    // Values the file holds empty (null) or beyond a machine float: they are
    // not written, so a restore that "succeeds" must still say so.
    qsizetype unwritableCount() const { return m_unwritable; }

    // Before writing, save the machine's current values of the sections to
    // be written into a new file in this directory (created if needed),
    // named after the connection's host and the time; older copies beyond
    // the newest few of that host are deleted. Empty: no safety copy.
    void setSafetyCopyDirectory(const QString &directory) { m_safetyDirectory = directory; }
    // The safety copy saved by this run; empty before or without one.
    QString safetyCopyFile() const { return m_safetyFile; }

    Started start();
    // After safetyCopyFailed(): write without a safety copy.
    Started proceed();

    // After failed(), or while it is cut short: which groups the machine
    // confirmed before the error, so that the user knows what state it is
    // left in.
    QString writtenText() const;

    bool isRunning() const override;

signals:
    void safetyCopySaved(const QString &fileName);
    // Nothing has been written yet; proceed() writes anyway.
    void safetyCopyFailed(const QString &fileName, const QString &error);
    // Written and read back; differences is empty when every value arrived.
    void done(const QList<ValueDifference> &differences);

private slots:
    void onSafetyCopyRead();
    void onWriteFinished();
    void onReadBackFinished();

private:
    Started startSafetyCopy();
    Started write();

    Machine *m_machine;
    // Groups holding the file's numbers; values the file lacks are NaN.
    QList<ParameterGroup *> m_groups;
    ParameterGroup::VariableValues m_planned;
    qsizetype m_unwritable = 0;
    QString m_safetyDirectory;
    QString m_safetyFile;
    // Values of m_planned the machine confirmed; -1 until the write ends.
    qsizetype m_written = -1;
    std::unique_ptr<BackupReader> m_safetyReader;
};

Q_DECLARE_METATYPE(ValueDifference)
