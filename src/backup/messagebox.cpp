#include "backup/messagebox.h"

#include "acpu/request.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

void OpenWarning(QWidget *parent, const QString &text, const QString &informative = {})
{
    auto *box = new QMessageBox(QMessageBox::Warning,
                                QCoreApplication::translate("MessageBox", "Communication Error"),
                                text, QMessageBox::Ok, parent);
    box->setInformativeText(informative);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

QProgressDialog *ShowProgress(Acpu::Request *request, QWidget *parent)
{
    auto *dialog = new QProgressDialog(parent);
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

void ShowConnectionBroken(QWidget *parent)
{
    OpenWarning(parent, QCoreApplication::translate("MessageBox",
                                                    "Connection with the machine is broken."));
}

void ShowRequestError(Acpu::Request *request, QWidget *parent)
{
    const QString text =
        request->GetType() == Acpu::Request::Write
            ? QCoreApplication::translate("MessageBox",
                                          "There was an error writing data to the machine.")
            : QCoreApplication::translate("MessageBox",
                                          "There was an error reading data from the machine.");
    OpenWarning(parent, text, request->ErrorString());
}

QFileDialog *CreateSaveBackupDialog(QWidget *parent)
{
    auto *dialog = new QFileDialog(
        parent, QCoreApplication::translate("MessageBox", "Save Backup File"), QString(),
        QCoreApplication::translate("MessageBox", "Backup files (*.vrk)"));
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}
