#include "backup/backupcreator.h"

#include "backup/messagebox.h"

#include <QDir>

BackupCreator::BackupCreator(Machine *machine, QWidget *parent)
    : QObject(parent), parentWidget(parent), machine(machine), reader(machine)
{
    fileDialog.setWindowTitle(tr("Save Backup File"));
    fileDialog.setNameFilter(tr("Backup files (*.vrk)"));
    fileDialog.setAcceptMode(QFileDialog::AcceptSave);
    fileDialog.setDefaultSuffix(QStringLiteral("vrk"));
    connect(&fileDialog, &QFileDialog::fileSelected, this, &BackupCreator::OnFileSelected);
    // A cancelled dialog ends the job; a chosen file ends it in OnFileSelected.
    connect(&fileDialog, &QDialog::rejected, this, &QObject::deleteLater);
    connect(&reader, &BackupReader::requestStarted, this,
            [this](Acpu::Request *request) { ShowProgress(request, parentWidget); });
    connect(&reader, &BackupReader::done, this, &BackupCreator::OnRequestFinished);
    connect(&reader, &BackupReader::failed, this, &BackupCreator::Fail);
}

void BackupCreator::Start()
{
    if (const auto started = reader.Start(); !started)
        Fail(started.error());
}

void BackupCreator::Fail(const MachineJobError &error)
{
    ShowMachineJobError(error, parentWidget);
    deleteLater();
}

void BackupCreator::OnRequestFinished()
{
    fileDialog.open();
}

void BackupCreator::OnFileSelected(QString fileName)
{
    if (fileName.isEmpty()) {
        deleteLater();
        return;
    }
    if (const BackupFile::Result saved = reader.Save(fileName); !saved)
        OpenBox(QMessageBox::Warning, tr("Backup Failed"),
                tr("There was an error saving the backup file."), parentWidget,
                QDir::toNativeSeparators(fileName), saved.error());
    else
        OpenBox(QMessageBox::Information, tr("Backup Completed"),
                tr("Backup was created successfully."), parentWidget);
    deleteLater();
}
