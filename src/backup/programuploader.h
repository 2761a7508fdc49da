#pragma once

#include "backup/programsender.h"

#include <QFileDialog>
#include <QObject>

#include <optional>

class Machine;
class QWidget;

// Sends a CNC program file into the machine: checks that the machine is
// ready, asks for the file, checks again, writes it and reports the
// machine's result code. Made on the heap with the window as parent; ends in one box (none
// when the dialog is cancelled) and deletes itself.
class ProgramUploader : public QObject
{
    Q_OBJECT
public:
    ProgramUploader(Machine *machine, QWidget *parent);

public slots:
    void DoReadyCheck();

private slots:
    void OnFileSelected(QString fileName);
    void OnStatusRequestFinished(quint32 code);

private:
    void OnReadyCheckFinished(bool ready);
    void fail(const MachineJobError &error);

    Machine *machine;
    QWidget *parentWidget;
    ProgramSender m_sender;
    QFileDialog fileDialog;
    // The chosen program, read before the machine is asked a second time.
    std::optional<ProgramSender::Image> m_image;
};
