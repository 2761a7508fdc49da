#pragma once

class QFileDialog;
class QProgressDialog;
class QWidget;

namespace Acpu {
class Request;
}

// The feedback every window that talks to the machine gives alike. Boxes are
// window-modal, shown without blocking and delete themselves when closed.

// A wait box that follows the request and goes away when it finishes; it
// shows itself only if the request takes longer than 200 ms.
QProgressDialog *ShowProgress(Acpu::Request *request, QWidget *parent);
void ShowConnectionBroken(QWidget *parent);
// For a request that finished with an error: its error string goes into the
// informative text.
void ShowRequestError(Acpu::Request *request, QWidget *parent);
// Returned unopened, deleted when closed.
QFileDialog *CreateSaveBackupDialog(QWidget *parent);
