#include "backup/messagebox.h"

#include "acpu/request.h"
#include "backup/machinejoberror.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

#include <memory>

namespace {

QMessageBox *openWarning(QWidget *parent, const QString &text, const QString &informative = {})
{
    return openBox(QMessageBox::Warning,
                   QCoreApplication::translate("MessageBox", "Communication Error"), text, parent,
                   informative);
}

// Without a Cancel button nothing stops the request: Escape or the close
// button would only hide the box of a transfer that goes on, and free the
// window for a second job on the same machine.
class WaitBox : public QProgressDialog
{
public:
    using QProgressDialog::QProgressDialog;

    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

QMessageBox *openBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QWidget *parent, const QString &informative, const QString &detailed)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setInformativeText(informative);
    box->setDetailedText(detailed);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

QProgressDialog *ShowProgress(Acpu::Request *request, QWidget *parent)
{
    QProgressDialog *dialog = new WaitBox(parent);
    dialog->setMinimumDuration(200);
    dialog->setRange(0, 100);
    // Starts the minimum-duration clock; without it the box would wait for
    // its default four seconds.
    dialog->setValue(0);
    dialog->setCancelButtonText(QString());
    dialog->setWindowTitle(QCoreApplication::translate("MessageBox", "Please Wait"));
    dialog->setLabelText(request->GetType() == Acpu::Request::Write
                             ? QCoreApplication::translate("MessageBox", "Writing data...")
                             : QCoreApplication::translate("MessageBox", "Reading data..."));
    QObject::connect(request, &Acpu::Request::finished, dialog, &QProgressDialog::reset);
    QObject::connect(request, &Acpu::Request::finished, dialog, &QObject::deleteLater);
    QObject::connect(request, &Acpu::Request::progress, dialog, &QProgressDialog::setValue);
    return dialog;
}

QMessageBox *ShowConnectionBroken(QWidget *parent)
{
    return openWarning(parent, QCoreApplication::translate(
                                   "MessageBox", "Connection with the machine is broken."));
}

void ShowRequestError(Acpu::Request *request, QWidget *parent)
{
    ShowRequestError(request->GetType(), request->ErrorString(), parent);
}

QMessageBox *ShowRequestError(Acpu::Request::Type type, const QString &error, QWidget *parent)
{
    const QString text =
        type == Acpu::Request::Write
            ? QCoreApplication::translate("MessageBox",
                                          "There was an error writing data to the machine.")
            : QCoreApplication::translate("MessageBox",
                                          "There was an error reading data from the machine.");
    return openWarning(parent, text, error);
}

QMessageBox *showMachineJobError(const MachineJobError &error, QWidget *parent)
{
    switch (error.kind) {
    case MachineJobError::NotConnected:
        return ShowConnectionBroken(parent);
    case MachineJobError::requestFailed:
        return ShowRequestError(error.requestType, error.message, parent);
    default:
        return nullptr;
    }
}

QFileDialog *CreateSaveBackupDialog(QWidget *parent)
{
    auto *dialog = new QFileDialog(
        parent, QCoreApplication::translate("MessageBox", "Save Backup File"), QString(),
        QCoreApplication::translate("MessageBox", "Backup files (*.vrk)"));
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // A file saved without it is hidden by every open dialog's filter.
    dialog->setDefaultSuffix(QStringLiteral("vrk"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

QString askSaveBackupFileName(QWidget *parent, const QString &start)
{
    // Asked for the answer after it has closed: not deleted on close here.
    const std::unique_ptr<QFileDialog> dialog(CreateSaveBackupDialog(parent));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    if (!start.isEmpty())
        dialog->selectFile(start);
    return dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}

QStringList listedLines(const QStringList &lines)
{
    constexpr qsizetype MaxListed = 20;
    if (lines.size() <= MaxListed)
        return lines;
    return lines.first(MaxListed) << QCoreApplication::translate("MessageBox", "and %1 more")
                                         .arg(lines.size() - MaxListed);
}
