#include "backup/backupcreator.h"

#include "backup/messagebox.h"

#include <QDir>

BackupCreator::BackupCreator(Machine *machine, QWidget *parent)
    : QObject(parent), parentWidget(parent), machine(machine), m_reader(machine, this)
{
    fileDialog.setWindowTitle(tr("Save Backup File"));
    fileDialog.setNameFilter(tr("Backup files (*.vrk)"));
    fileDialog.setAcceptMode(QFileDialog::AcceptSave);
    fileDialog.setDefaultSuffix(QStringLiteral("vrk"));
    connect(&fileDialog, &QFileDialog::fileSelected, this, &BackupCreator::OnFileSelected);
    // A cancelled dialog ends the job; a chosen file ends it in OnFileSelected.
    connect(&fileDialog, &QDialog::rejected, this, &QObject::deleteLater);
    connect(&m_reader, &BackupReader::requestStarted, this,
            [this](Acpu::Request *request) { ShowProgress(request, parentWidget); });
    connect(&m_reader, &BackupReader::done, this, &BackupCreator::OnRequestFinished);
    connect(&m_reader, &BackupReader::failed, this, &BackupCreator::fail);
}

void BackupCreator::Start()
{
    if (const auto started = m_reader.start(); !started)
        fail(started.error());
}

void BackupCreator::fail(const MachineJobError &error)
{
    showMachineJobError(error, parentWidget);
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
    if (const Result<void> saved = m_reader.save(fileName); !saved)
        openBox(QMessageBox::Warning, tr("Backup Failed"),
                tr("There was an error saving the backup file."), parentWidget,
                QDir::toNativeSeparators(fileName), saved.error());
    else
        openBox(QMessageBox::Information, tr("Backup Completed"),
                tr("Backup was created successfully."), parentWidget);
    deleteLater();
}
