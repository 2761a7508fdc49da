#include "backup/backuprestorer.h"

#include "backup/backupfile.h"
#include "backup/messagebox.h"
#include "backup/safetycopies.h"
#include "model/machine.h"

#include <QDir>

#include <charconv>

namespace {
// The shortest text that reads back as the same float: a clamped value must
// not look like the value sent.
QString floatText(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, end - text);
}
} // namespace

BackupRestorer::BackupRestorer(Machine *machine, QWidget *parent)
    : QObject(parent), parentWidget(parent), machine(machine), m_writer(machine, this),
      mismatchBox(parent)
{
    m_writer.setSafetyCopyDirectory(SafetyCopies::defaultDirectory());

    fileDialog.setWindowTitle(tr("Open Backup File"));
    fileDialog.setNameFilter(tr("Backup files (*.vrk)"));
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog.setFileMode(QFileDialog::ExistingFiles);
    connect(&fileDialog, &QFileDialog::fileSelected, this, &BackupRestorer::OnFileSelected);
    // Cancelled, or several files chosen (no fileSelected): nothing to do.
    connect(&fileDialog, &QDialog::finished, this, [this] {
        if (!m_fileChosen)
            deleteLater();
    });

    mismatchBox.setIcon(QMessageBox::Warning);
    mismatchBox.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    mismatchBox.setDefaultButton(QMessageBox::No);
    mismatchBox.setEscapeButton(QMessageBox::No);
    mismatchBox.setWindowTitle(tr("Backup Model Mismatch"));
    connect(&mismatchBox, &QMessageBox::finished, this, &BackupRestorer::OnVersionConfirmed);

    connect(&m_writer, &BackupWriter::requestStarted, this,
            [this](Acpu::Request *request) { ShowProgress(request, parentWidget); });
    connect(&m_writer, &BackupWriter::done, this, &BackupRestorer::OnRequestFinished);
    connect(&m_writer, &BackupWriter::failed, this, &BackupRestorer::fail);
    connect(&m_writer, &BackupWriter::safetyCopyFailed, this, &BackupRestorer::onSafetyCopyFailed);
}

void BackupRestorer::setSafetyCopyDirectory(const QString &directory)
{
    m_writer.setSafetyCopyDirectory(directory);
}

void BackupRestorer::Start()
{
    fileDialog.open();
}

void BackupRestorer::OnFileSelected(QString fileName)
{
    m_fileChosen = true;
    m_chosenFile = fileName;
    if (fileName.isEmpty()) {
        deleteLater();
        return;
    }
    backupFile = new BackupFile(fileName, this);
    if (const Result<void> loaded = backupFile->load(); !loaded) {
        openBox(QMessageBox::Warning, tr("Restore Failed"),
                tr("There was an error loading the backup file."), parentWidget,
                QDir::toNativeSeparators(fileName), loaded.error());
        deleteLater();
        return;
    }
    if (backupFile->machine() != machine->modelVersion()) {
        mismatchBox.setText(
            tr("Backup is for different machine.\nBackup source: %1\nCurrent "
               "machine: %2\nDo you wish to proceed?")
                .arg(backupFile->machine().toString(), machine->modelVersion().toString()));
        mismatchBox.open();
        return;
    }
    DoRestore();
}

void BackupRestorer::OnVersionConfirmed(int result)
{
    if (result == QMessageBox::Yes)
        DoRestore();
    else
        deleteLater();
}

void BackupRestorer::DoRestore()
{
    m_writer.setBackup(*backupFile);
    if (const auto started = m_writer.start(); !started)
        fail(started.error());
}

void BackupRestorer::onSafetyCopyFailed(const QString &fileName, const QString &error)
{
    auto *question = new QMessageBox(
        QMessageBox::Warning, tr("Safety Copy Failed"),
        tr("The machine's current values could not be saved before the restore.\nRestore the "
           "backup anyway?"),
        QMessageBox::Yes | QMessageBox::No, parentWidget);
    question->setDefaultButton(QMessageBox::No);
    question->setEscapeButton(QMessageBox::No);
    question->setInformativeText(QDir::toNativeSeparators(fileName));
    question->setDetailedText(error);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this](int result) {
        if (result != QMessageBox::Yes) {
            deleteLater();
            return;
        }
        if (const auto started = m_writer.proceed(); !started)
            fail(started.error());
    });
    question->open();
}

void BackupRestorer::fail(const MachineJobError &error)
{
    QMessageBox *box = showMachineJobError(error, parentWidget);
    if (!box)
        box = openBox(QMessageBox::Warning, tr("Restore Failed"),
                      tr("The backup file holds none of the parameters that are restored."),
                      parentWidget, QDir::toNativeSeparators(m_chosenFile));
    QStringList notes{box->informativeText(), m_writer.writtenText(), safetyCopyNote()};
    notes.removeAll(QString());
    box->setInformativeText(notes.join(QStringLiteral("\n\n")));
    deleteLater();
}

void BackupRestorer::OnRequestFinished(const QList<ValueDifference> &differences)
{
    QStringList lines;
    for (const ValueDifference &difference : differences)
        lines.append(tr("%1: %2: sent %3, read %4")
                         .arg(difference.group, difference.item)
                         .arg(floatText(difference.sent), floatText(difference.read)));
    lines = listedLines(lines);
    QStringList notes{safetyCopyNote()};
    if (const qsizetype left = m_writer.unwritableCount(); left > 0)
        notes.prepend(tr("Values the backup file holds empty or out of range, left as the "
                         "machine has them: %1.")
                          .arg(left));
    for (const QString &note : notes)
        if (!note.isEmpty())
            lines.append(lines.isEmpty() ? note : QStringLiteral("\n") + note);

    if (differences.isEmpty())
        openBox(QMessageBox::Information, tr("Restore Completed"),
                tr("Backup was restored successfully."), parentWidget, lines.join(u'\n'));
    else
        openBox(QMessageBox::Warning, tr("Restore Not Verified"),
                tr("The backup was written, but %1 of the values read back from the machine "
                   "differ from what was sent.")
                    .arg(differences.size()),
                parentWidget, lines.join(u'\n'));
    deleteLater();
}

QString BackupRestorer::safetyCopyNote() const
{
    const QString file = m_writer.safetyCopyFile();
    return file.isEmpty() ? QString()
                          : tr("The values before the restore were saved in %1.")
                                .arg(QDir::toNativeSeparators(file));
}
