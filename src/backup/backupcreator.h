#pragma once

#include "backup/backupreader.h"

#include <QFileDialog>
#include <QObject>

class Machine;
class QWidget;

// Copies the machine's parameters into a backup file: reads the four backup
// groups, asks for a file name, saves. Made on the heap with the window as
// parent; ends in one box (none when the dialog is cancelled) and deletes
// itself.
class BackupCreator : public QObject
{
    Q_OBJECT
public:
    BackupCreator(Machine *machine, QWidget *parent);

    void Start();

private slots:
    void OnRequestFinished();
    void OnFileSelected(QString fileName);

private:
    void fail(const MachineJobError &error);

    QWidget *parentWidget;
    Machine *machine;
    BackupReader m_reader;
    QFileDialog fileDialog;
};
