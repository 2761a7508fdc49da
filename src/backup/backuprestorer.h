#pragma once

#include "backup/backupwriter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

class BackupFile;
class Machine;
class QWidget;

// Writes a backup file back into the machine: asks for the file, checks its
// model against the machine's, saves a safety copy of the values about to be
// overwritten, writes, and reads back what it wrote. Made on the heap with
// the window as parent; ends in one box (none when a dialog is cancelled)
// and deletes itself.
class BackupRestorer : public QObject
{
    Q_OBJECT
public:
    BackupRestorer(Machine *machine, QWidget *parent);

    void Start();
    // The folder of the safety copies; the application's data folder unless
    // set before Start().
    void setSafetyCopyDirectory(const QString &directory);

private slots:
    void OnFileSelected(QString fileName);
    void OnVersionConfirmed(int result);
    void OnRequestFinished(const QList<ValueDifference> &differences);
    void onSafetyCopyFailed(const QString &fileName, const QString &error);

private:
    void DoRestore();
    void fail(const MachineJobError &error);
    // The line naming the safety copy, or empty without one.
    QString safetyCopyNote() const;

    QWidget *parentWidget;
    Machine *machine;
    BackupWriter m_writer;
    BackupFile *backupFile = nullptr;
    QFileDialog fileDialog;
    QMessageBox mismatchBox;
    QString m_chosenFile;
    bool m_fileChosen = false;
};
