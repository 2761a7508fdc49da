#pragma once

#include "backup/backupfile.h"
#include "backup/machinejob.h"
#include "core/result.h"

#include <QList>
#include <QObject>

class Machine;
class ParameterGroup;

// Reads parameter groups from a machine in one request, ready to be saved as
// a backup file. No widgets: the window job and the command-line tool wrap
// it with their own feedback.
//
// start() either fails at once (not connected) or ends later in exactly one
// of done() and failed().
class BackupReader : public MachineJob
{
    Q_OBJECT
public:
    // The groups of a machine backup, in order: technological parameters, R
    // parameters, coordinate systems, tools. Teeth are saved on their own.
    static const QList<int> &backupTags();

    explicit BackupReader(Machine *machine, QObject *parent = nullptr);

    // Reads the groups of these tags (unknown tags are skipped).
    Started start(const QList<int> &tags = backupTags());

    // After done(): the groups in tag order, holding the machine's values.
    const QList<ParameterGroup *> &groups() const { return m_groups; }
    // Stamps file with the machine's model version and stores each group's
    // section in it.
    void fill(BackupFile &file) const;
    // fill() into a new file of this name and save it atomically.
    Result<void> save(const QString &fileName) const;

signals:
    void done();

private slots:
    void onRequestFinished();

private:
    Machine *m_machine;
    QList<ParameterGroup *> m_groups;
};
