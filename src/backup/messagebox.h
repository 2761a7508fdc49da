#pragma once

#include "acpu/request.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QFileDialog;
class QProgressDialog;
class QWidget;

struct MachineJobError;

// The feedback every window that talks to the machine gives alike. Boxes are
// window-modal, shown without blocking and delete themselves when closed.

// A wait box that follows the request and goes away when it finishes; it
// shows itself only if the request takes longer than 200 ms.
QProgressDialog *ShowProgress(Acpu::Request *request, QWidget *parent);
QMessageBox *ShowConnectionBroken(QWidget *parent);
// For a request that finished with an error: its error string goes into the
// informative text.
void ShowRequestError(Acpu::Request *request, QWidget *parent);
// The same for a request that has gone already: its type and error string.
QMessageBox *ShowRequestError(Acpu::Request::Type type, const QString &error, QWidget *parent);
// A machine job's refused or failed request: the connection-broken or the
// request-error box. Null for other failures, which the job words itself.
QMessageBox *showMachineJobError(const MachineJobError &error, QWidget *parent);
// A box with the OK button, opened, deleted when closed; the texts that are
// given are set.
QMessageBox *openBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QWidget *parent, const QString &informative = {},
                     const QString &detailed = {});
// Returned unopened, deleted when closed.
QFileDialog *CreateSaveBackupDialog(QWidget *parent);
// Asks modally for the file to save a backup into, starting at start; empty
// when cancelled. A name typed without extension gets ".vrk".
QString askSaveBackupFileName(QWidget *parent, const QString &start);
// The first 20 lines of a box's details, then "and N more": a refused table
// of thousands of values must still give a box that fits the screen.
QStringList listedLines(const QStringList &lines);
