#include "editors/liveeditor.h"

#include "acpu/connection.h"
#include "app/settingskeys.h"
#include "backup/backupfile.h"
#include "backup/messagebox.h"
#include "editors/valuecolumns.h"
#include "model/itemsfiltermodel.h"
#include "model/machine.h"
#include "model/machinevalue.h"
#include "model/tablemodel.h"
#include "widgets/itemstylemodel.h"
#include "widgets/screenfit.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>

#include <cmath>
#include <mutex>
#include <utility>

// The icons live in the static library; a window may come before main's
// resources (tests, other programs).
static void initEditorResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(resources); });
}

namespace {
constexpr int StatusMessageMs = 1000;
constexpr int SlowRefreshMs = 1000;
constexpr int FastRefreshMs = 100;
} // namespace

LiveEditor::LiveEditor(Machine *machine, ParameterGroup *group, QWidget *parent)
    : QMainWindow(parent), m_model(group->createModel()), m_filter(group->createFilterModel()),
      m_machine(machine), m_connection(machine->connection()), m_group(group)
{
    initEditorResources();
    setAttribute(Qt::WA_DeleteOnClose);
    group->setParent(this);
    // Until a read succeeds nothing is known of the machine: a 0 would be
    // saved into a backup, and restored, as if the machine held it.
    group->clear();

    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &LiveEditor::PeriodicRefresh);
}

LiveEditor::~LiveEditor() = default;

void LiveEditor::attach(const Form &pieces)
{
    m_form = pieces;
    setWindowTitle(windowTitle().arg(m_group->title(), m_machine->typeTitle(),
                                     m_machine->identText(), m_connection->Host()));
    m_model->setActiveVersion(m_machine->modelVersion());
    m_filter->setSourceModel(m_model);
    m_filter->setActiveVersion(m_machine->modelVersion());
    m_form.table->setModel(new ItemStyleModel(m_filter, m_form.table));
    m_form.table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fitValueColumns(m_form.table);
    connect(m_model, &TableModel::dataChanged, this, &LiveEditor::OnModelDataChanged);

    // Both dialogs live as long as the window, so each remembers its folder.
    // Made after the form has connected its slots by name: their own button
    // boxes carry the same name as the window's.
    m_openDialog = new QFileDialog(this);
    m_openDialog->setFileMode(QFileDialog::ExistingFile);
    m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_openDialog->setNameFilter(QCoreApplication::translate("MessageBox", "Backup files (*.vrk)"));
    m_openDialog->setWindowTitle(tr("Open Backup File"));
    connect(m_openDialog, &QFileDialog::fileSelected, this, &LiveEditor::LoadBackup);
    m_saveDialog = CreateSaveBackupDialog(this);
    m_saveDialog->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_saveDialog, &QFileDialog::fileSelected, this, &LiveEditor::SaveBackup);

    QSettings settings;
    settings.beginGroup(settingsGroup());
    restoreGeometry(settings.value(SettingsKeys::Geometry).toByteArray());
    restoreState(settings.value(SettingsKeys::State).toByteArray());
    fitToScreen(this);
}

QString LiveEditor::settingsGroup() const
{
    return SettingsKeys::parametersGroup(m_group->name());
}

void LiveEditor::on_actionRefreshOnce_triggered()
{
    if (!confirmDiscard())
        return;
    auto result = m_connection->Read({m_group->variableRange()});
    if (!result) {
        ShowConnectionBroken(this);
        return;
    }
    Acpu::Request *request = *result;
    ShowProgress(request, this);
    connect(request, &Acpu::Request::finished, this,
            [this, request, discarded = m_group->modifiedValues()] {
                OnLoadCompleted(request, discarded);
            });
}

void LiveEditor::OnLoadCompleted(Acpu::Request *request,
                                 const ParameterGroup::VariableValues &discarded)
{
    if (!request->ErrorString().isEmpty()) {
        ShowRequestError(request, this);
        return;
    }
    // The table stays editable while a slow machine answers: what was edited
    // meanwhile stays an edit over the machine's value.
    const int first = m_group->firstVariable();
    QList<std::pair<qsizetype, double>> edits;
    for (qsizetype i = 0; i < m_group->valueCount(); ++i) {
        const ParameterValue &value = m_group->value(i);
        if (value.isModified() &&
            !discarded.contains({first + static_cast<int>(i), static_cast<float>(value.value())}))
            edits.append({i, value.value()});
    }
    m_group->loadFromMachine(*m_connection);
    if (edits.isEmpty())
        return;
    for (const auto &[index, number] : edits)
        m_group->value(index).setValue(number);
    m_model->DataStoreChanged();
}

bool LiveEditor::confirmDiscard()
{
    qsizetype unwritten = 0;
    for (qsizetype i = 0; i < m_group->valueCount(); ++i)
        unwritten += m_group->value(i).isModified() ? 1 : 0;
    if (unwritten == 0)
        return true;
    QMessageBox box(QMessageBox::Question, tr("Discard Changes"),
                    tr("Values edited but not written to the machine: %1.").arg(unwritten),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setInformativeText(
        tr("Reading from the machine replaces them. Do you want to read anyway?"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool LiveEditor::autoRefreshOn() const
{
    return m_form.refresh1s->isChecked() || m_form.refresh100ms->isChecked();
}

void LiveEditor::on_actionRefresh1s_triggered(bool checked)
{
    setAutoRefresh(m_form.refresh1s, m_form.refresh100ms, SlowRefreshMs, checked);
}

void LiveEditor::on_actionRefresh100ms_triggered(bool checked)
{
    setAutoRefresh(m_form.refresh100ms, m_form.refresh1s, FastRefreshMs, checked);
}

void LiveEditor::setAutoRefresh(QAction *action, QAction *other, int intervalMs, bool checked)
{
    if (!checked) {
        m_refreshTimer.stop();
        m_model->setReadOnly(false);
        m_form.open->setEnabled(true);
        return;
    }
    // The first read would replace unwritten edits without a word.
    if (!other->isChecked() && !confirmDiscard()) {
        action->setChecked(false);
        return;
    }
    other->setChecked(false);
    m_model->setReadOnly(true);
    // A loaded backup arrives as edits, which the next read would drop.
    m_form.open->setEnabled(false);
    m_refreshTimer.setInterval(intervalMs);
    // A read still under way restarts the timer when it finishes.
    if (m_periodicRead)
        m_refreshTimer.stop();
    else
        m_refreshTimer.start();
}

void LiveEditor::PeriodicRefresh()
{
    if (!autoRefreshOn() || m_periodicRead)
        return;
    auto result = m_connection->Read({m_group->variableRange()});
    if (!result) {
        // Keep trying at the chosen pace: refreshing resumes by itself once
        // the connection is back, as the checked action promises.
        statusBar()->showMessage(tr("Communication error"), StatusMessageMs);
        m_refreshTimer.start();
        return;
    }
    m_periodicRead = *result;
    connect(*result, &Acpu::Request::finished, this,
            [this, request = *result] { onPeriodicReadCompleted(request); });
}

void LiveEditor::onPeriodicReadCompleted(Acpu::Request *request)
{
    m_periodicRead = nullptr;
    // Switched off meanwhile: the table may hold new edits by now.
    if (!autoRefreshOn())
        return;
    if (!request->ErrorString().isEmpty())
        statusBar()->showMessage(request->ErrorString(), StatusMessageMs);
    else if (!matchesMachine())
        m_group->loadFromMachine(*m_connection);
    m_refreshTimer.start();
    emit periodicReadFinished(request->ErrorString().isEmpty());
}

bool LiveEditor::matchesMachine() const
{
    if (m_group->isModified())
        return false;
    const int first = m_group->firstVariable();
    for (qsizetype i = 0; i < m_group->valueCount(); ++i) {
        const double machineValue =
            MachineValue::fromMachine(m_connection->ReadFloat(first + static_cast<int>(i)));
        const double shown = m_group->value(i).value();
        if (machineValue != shown && !(std::isnan(machineValue) && std::isnan(shown)))
            return false;
    }
    return true;
}

void LiveEditor::on_actionFilterItems_triggered(bool checked)
{
    setActiveItemsFilter(checked);
}

void LiveEditor::setActiveItemsFilter(bool enabled)
{
    m_filter->setShowOnlyActive(enabled);
    m_form.table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void LiveEditor::OnModelDataChanged()
{
    setWindowModified(m_group->isModified());
}

void LiveEditor::on_buttonBox_clicked(QAbstractButton *button)
{
    switch (m_form.buttonBox->standardButton(button)) {
    case QDialogButtonBox::Ok:
        writeEdits(true);
        break;
    case QDialogButtonBox::Apply:
        writeEdits(false);
        break;
    case QDialogButtonBox::Cancel:
        close();
        break;
    case QDialogButtonBox::Reset:
        m_group->revert();
        break;
    default:
        break;
    }
}

void LiveEditor::writeEdits(bool closeWhenDone)
{
    const ParameterGroup::VariableValues items = m_group->modifiedValues();
    if (items.isEmpty()) {
        if (closeWhenDone)
            close();
        return;
    }
    auto result = m_connection->WriteValues(items);
    if (!result) {
        ShowConnectionBroken(this);
        return;
    }
    Acpu::Request *request = *result;
    ShowProgress(request, this);
    // A second OK would send the same values again: the buttons come back
    // once the values have been read back.
    m_form.buttonBox->setEnabled(false);
    m_writing = true;
    m_closeAfterWrite = closeWhenDone;
    connect(request, &Acpu::Request::finished, this,
            [this, request, items] { onWriteCompleted(request, items); });
}

bool LiveEditor::endWrite()
{
    m_form.buttonBox->setEnabled(true);
    m_writing = false;
    return std::exchange(m_closeAfterWrite, false);
}

void LiveEditor::onWriteCompleted(Acpu::Request *request,
                                  const ParameterGroup::VariableValues &written)
{
    if (!request->ErrorString().isEmpty()) {
        endWrite();
        ShowRequestError(request, this);
        return;
    }
    // A machine may limit a value without an error: only what reads back as
    // sent counts as written.
    Acpu::VarRanges ranges;
    for (const auto &[variable, number] : written)
        ranges.append({variable, 1});
    auto result = m_connection->Read(Acpu::NormalizeRanges(ranges));
    if (!result) {
        endWrite();
        ShowConnectionBroken(this);
        return;
    }
    Acpu::Request *readBack = *result;
    ShowProgress(readBack, this);
    connect(readBack, &Acpu::Request::finished, this,
            [this, readBack, written] { onReadBackCompleted(readBack, written); });
}

void LiveEditor::onReadBackCompleted(Acpu::Request *request,
                                     const ParameterGroup::VariableValues &written)
{
    const bool closeWhenDone = endWrite();
    if (!request->ErrorString().isEmpty()) {
        ShowRequestError(request, this);
        return;
    }
    // Only what reached the machine becomes clean: a value edited again (or
    // reset) while the write was under way keeps its state. One the machine
    // holds otherwise stays an edit over the machine's value.
    const int first = m_group->firstVariable();
    QStringList refused;
    for (const auto &[variable, number] : written) {
        ParameterValue &value = m_group->value(variable - first);
        const float read = m_connection->ReadFloat(variable);
        if (read != number) {
            refused.append(
                tr("%1: sent %2, read %3")
                    .arg(m_group->valueLabel(variable - first, m_machine->modelVersion()),
                         MachineValue::editText(number),
                         MachineValue::editText(MachineValue::fromMachine(read))));
            const double edit = value.value();
            value.reset(MachineValue::fromMachine(read));
            value.setValue(edit);
        } else if (value.isModified() && static_cast<float>(value.value()) == number) {
            // The machine keeps a float: digits typed beyond it are not held.
            value.reset(MachineValue::fromMachine(read));
        }
    }
    m_model->DataStoreChanged();
    if (!refused.isEmpty()) {
        openBox(QMessageBox::Warning, tr("Values Not Taken"),
                tr("The machine holds %1 of the written values otherwise than sent; they stay "
                   "marked as edits.")
                    .arg(refused.size()),
                this, listedLines(refused).join(u'\n'));
        return;
    }
    if (closeWhenDone)
        close();
}

void LiveEditor::closeEvent(QCloseEvent *event)
{
    QSettings settings;
    settings.beginGroup(settingsGroup());
    settings.setValue(SettingsKeys::Geometry, saveGeometry());
    settings.setValue(SettingsKeys::State, saveState());
    settings.endGroup();

    if (m_writing) {
        m_closeAfterWrite = true;
        statusBar()->showMessage(tr("The window closes once the values are written."));
        event->ignore();
        return;
    }
    if (!m_group->isModified()) {
        event->accept();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("Save Changes"),
                    tr("You have unsaved changes. Do you want to save them before closing?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        // The window closes itself once the write has succeeded.
        event->ignore();
        writeEdits(true);
        break;
    case QMessageBox::No:
        event->accept();
        break;
    default:
        event->ignore();
        break;
    }
}

void LiveEditor::on_actionOpen_triggered()
{
    m_openDialog->open();
}

void LiveEditor::on_actionSave_triggered()
{
    m_saveDialog->open();
}

void LiveEditor::showFileError(const QString &text, const QString &fileName, const QString &detail)
{
    auto *box =
        new QMessageBox(QMessageBox::Warning, tr("Backup File Error"), text, QMessageBox::Ok, this);
    box->setInformativeText(QDir::toNativeSeparators(fileName));
    box->setDetailedText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void LiveEditor::LoadBackup(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    BackupFile file(fileName);
    if (auto loaded = file.load(); !loaded) {
        showFileError(tr("There was an error loading the backup file."), fileName, loaded.error());
        return;
    }
    if (!file.hasSection(m_group->type())) {
        showFileError(tr("Backup does not contain %1.").arg(m_group->title()), fileName, {});
        return;
    }
    if (file.machine() != m_model->activeVersion()) {
        QMessageBox box(QMessageBox::Question, tr("Backup Model Mismatch"),
                        tr("Backup is for different data model.\nBackup source: %1\nCurrent "
                           "machine: %2\nDo you wish to proceed?")
                            .arg(file.machine().toString(), m_model->activeVersion().toString()),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    // As edits: what differs is marked, and OK or Apply writes it.
    m_group->fromJson(file.section(m_group->type()), false);
}

void LiveEditor::SaveBackup(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    BackupFile file(fileName);
    file.setMachine(m_model->activeVersion());
    QJsonObject section;
    m_group->toJson(section);
    file.setSection(m_group->type(), section);
    if (auto saved = file.save(); !saved)
        showFileError(tr("There was an error saving the backup file."), fileName, saved.error());
}
