#include "backup/programuploader.h"

#include "backup/messagebox.h"

ProgramUploader::ProgramUploader(Machine *machine, QWidget *parent)
    : QObject(parent), machine(machine), parentWidget(parent), m_sender(machine, this)
{
    fileDialog.setWindowTitle(tr("Open CNC Program File"));
    fileDialog.setNameFilter(tr("CNC files (*.cnc);;All files (*.*)"));
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog.setFileMode(QFileDialog::ExistingFile);
    connect(&fileDialog, &QFileDialog::fileSelected, this, &ProgramUploader::OnFileSelected);
    connect(&fileDialog, &QDialog::rejected, this, &QObject::deleteLater);

    connect(&m_sender, &ProgramSender::requestStarted, this,
            [this](Acpu::Request *request) { ShowProgress(request, parentWidget); });
    connect(&m_sender, &ProgramSender::readyChecked, this, &ProgramUploader::OnReadyCheckFinished);
    connect(&m_sender, &ProgramSender::resultRead, this, &ProgramUploader::OnStatusRequestFinished);
    connect(&m_sender, &ProgramSender::failed, this, &ProgramUploader::fail);
}

void ProgramUploader::DoReadyCheck()
{
    if (const auto started = m_sender.checkReady(); !started)
        fail(started.error());
}

void ProgramUploader::fail(const MachineJobError &error)
{
    showMachineJobError(error, parentWidget);
    deleteLater();
}

void ProgramUploader::OnReadyCheckFinished(bool ready)
{
    if (ready && m_image) {
        if (const auto started = m_sender.send(*m_image); !started)
            fail(started.error());
        return;
    }
    if (ready) {
        fileDialog.open();
        return;
    }
    openBox(QMessageBox::Warning, tr("Program Upload Failed"),
            tr("Machine is not ready for program upload."), parentWidget);
    deleteLater();
}

void ProgramUploader::OnFileSelected(QString fileName)
{
    if (fileName.isEmpty()) {
        deleteLater();
        return;
    }
    const auto image = ProgramSender::readImage(fileName);
    if (!image) {
        const QString text =
            image.error().kind == MachineJobError::FileTooLarge
                ? tr("The program file is larger than 16 MiB, the largest program that is sent.")
                : tr("There was an error loading the program file.");
        openBox(QMessageBox::Warning, tr("Program Upload Failed"), text, parentWidget, fileName,
                image.error().message);
        deleteLater();
        return;
    }
    m_image = *image;
    // The dialog may have stood open for minutes, and another upload (from
    // this window or elsewhere) may have begun meanwhile: writing into it
    // would mix the two programs.
    if (const auto started = m_sender.checkReady(); !started)
        fail(started.error());
}

void ProgramUploader::OnStatusRequestFinished(quint32 code)
{
    const QString title = tr("Program Upload Finished");
    switch (ProgramSender::classify(code)) {
    case ProgramSender::Outcome::Success:
        openBox(QMessageBox::Information, title, tr("Program was uploaded successfully."),
                parentWidget);
        break;
    case ProgramSender::Outcome::Unexpected:
        openBox(QMessageBox::Warning, title,
                tr("There was an unexpected problem uploading the program."), parentWidget,
                tr("Result code: %1").arg(code));
        break;
    case ProgramSender::Outcome::Error:
        openBox(QMessageBox::Warning, title, tr("There was an error uploading the program."),
                parentWidget, tr("Error code: %1").arg(code - 3));
        break;
    }
    deleteLater();
}
