#include "backup/fileviewer.h"

#include "app/helpactions.h"
#include "app/settingskeys.h"
#include "backup/backupdocument.h"
#include "backup/backupimport.h"
#include "backup/messagebox.h"
#include "editors/modelversiondialog.h"
#include "editors/parametersview.h"
#include "editors/teethview.h"
#include "model/parameterlist.h"
#include "model/tablemodelteeth.h"
#include "model/teeth.h"
#include "model/teethgroupsmodel.h"

#include "ui_fileviewer.h"
#include "widgets/screenfit.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSettings>

int FileViewer::s_windowCount = 0;

FileViewer::FileViewer(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FileViewer>())
{
    setUpWindow();
    document = new BackupDocument(this);
    attachDocument();
}

FileViewer::FileViewer(BackupDocument *document, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FileViewer>())
{
    setUpWindow();
    this->document = document;
    document->setParent(this);
    attachDocument();
}

FileViewer::FileViewer(const QString &fileName, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FileViewer>())
{
    setUpWindow();
    if (!fileName.isEmpty())
        openFile(fileName);
}

FileViewer::~FileViewer()
{
    // The views hold pointers into the document's groups: they go first.
    qDeleteAll(ui->mdiArea->subWindowList());
    delete document;
    if (--s_windowCount == 0)
        QCoreApplication::quit();
}

int FileViewer::windowCount()
{
    return s_windowCount;
}

void FileViewer::setUpWindow()
{
    ++s_windowCount;
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);

    QSettings settings;
    settings.beginGroup(SettingsKeys::FileViewer);
    restoreGeometry(settings.value(SettingsKeys::Geometry).toByteArray());
    restoreState(settings.value(SettingsKeys::State).toByteArray());
    fitToScreen(this);
    const bool multiWindow = settings.value(SettingsKeys::MdiMode, false).toBool();
    ui->actionMultiWindow->setChecked(multiWindow);
    // Unchecked sends no toggle, yet Tile, Cascade and Columns must follow
    // the mode from the start.
    on_actionMultiWindow_toggled(multiWindow);

    const BackupDocument all;
    for (const int tag : all.groupTags()) {
        QAction *action =
            ui->menuExport->addAction(all.group(tag)->title() + QStringLiteral("..."));
        connect(action, &QAction::triggered, this, [this, tag] { onExportGroupTriggered(tag); });
        exportActions.insert(tag, action);
    }
}

void FileViewer::attachDocument()
{
    connect(document, &BackupDocument::dirtyChanged, this, &FileViewer::onDirtyChanged);
    connect(document, &BackupDocument::titleChanged, this, &FileViewer::onTitleChanged);
    onTitleChanged(document->fileName(), document->version());
    onDirtyChanged(document->isDirty());

    for (QAction *action : std::as_const(exportActions))
        action->setEnabled(false);
    for (const int tag : document->groupTags())
        createSubWindow(tag);
    // The document opens on its first group, not on the last one made.
    if (const QList<QMdiSubWindow *> subWindows = ui->mdiArea->subWindowList();
        !subWindows.isEmpty()) {
        ui->mdiArea->setActiveSubWindow(subWindows.first());
        // The area fills a tab by activating it; a lone sub-window made
        // before the window was shown is never activated again.
        if (ui->mdiArea->viewMode() == QMdiArea::TabbedView)
            subWindows.first()->showMaximized();
    }
    setDocumentActionsEnabled(true);
    if (ui->actionMultiWindow->isChecked())
        ui->mdiArea->tileSubWindows();
}

void FileViewer::setDocumentActionsEnabled(bool enabled)
{
    for (QAction *action :
         {ui->actionImport, ui->actionImportV5Backup, ui->actionSave, ui->actionSaveAs,
          ui->actionClose, ui->actionSelectDataModel, ui->actionFilterItems})
        action->setEnabled(enabled);
    ui->menuExport->setEnabled(enabled);
}

void FileViewer::createSubWindow(int tag)
{
    ParameterGroup *group = document->group(tag);
    QWidget *view = nullptr;
    if (auto *teeth = qobject_cast<Teeth *>(group)) {
        auto *model = static_cast<TableModelTeeth *>(document->createModel(tag));
        TeethGroupsModel *shapes = teeth->createShapesModel();
        shapes->setActiveVersion(document->version());
        connect(document, &BackupDocument::versionChanged, shapes, &TableModel::setActiveVersion);
        view = followed(new TeethView(teeth, model, shapes, this));
    } else {
        view = followed(new ParametersView(group, document->createModel(tag), this));
    }
    // No close button: a group lives as long as its document.
    QMdiSubWindow *subWindow = ui->mdiArea->addSubWindow(
        view, Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowMaximizeButtonHint);
    subWindow->show();
    if (QAction *action = exportActions.value(tag))
        action->setEnabled(true);
}

template <typename View> View *FileViewer::followed(View *view)
{
    connect(ui->actionFilterItems, &QAction::toggled, view, &View::setActiveItemsFilter);
    connect(document, &BackupDocument::versionChanged, view, &View::setFilterVersion);
    // A group added later (by an import) joins the filter as it stands.
    if (ui->actionFilterItems->isChecked())
        view->setActiveItemsFilter(true);
    return view;
}

void FileViewer::onDirtyChanged(bool dirty)
{
    setWindowModified(dirty);
}

void FileViewer::onTitleChanged(const QString &fileName, const ModelVersion &version)
{
    QString name = fileName.isEmpty() ? tr("(unnamed)") : QDir::toNativeSeparators(fileName);
    // "[*]" in a file name is not the modified marker: doubled, it shows as written.
    name.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    setWindowTitle(tr("Backup File Editor :: %1[*] (%2)").arg(name, version.toString()));
}

QMessageBox *FileViewer::fileError(const QString &text, const QString &fileName,
                                   const QString &detail)
{
    auto *box =
        new QMessageBox(QMessageBox::Warning, tr("Backup File Error"), text, QMessageBox::Ok, this);
    box->setInformativeText(QDir::toNativeSeparators(fileName));
    box->setDetailedText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

void FileViewer::openBox(QMessageBox *box)
{
    // A window still being built (a file named on the command line) shows
    // itself first, then the box over it.
    if (isVisible())
        box->open();
    else
        QMetaObject::invokeMethod(box, &QDialog::open, Qt::QueuedConnection);
}

void FileViewer::showLoadError(const QString &fileName, const QString &detail)
{
    openBox(fileError(tr("There was an error loading the backup file."), fileName, detail));
}

QString FileViewer::startFileName() const
{
    return document ? document->fileName() : QString();
}

void FileViewer::present(BackupDocument *newDocument)
{
    if (document) {
        newDocument->setParent(nullptr);
        (new FileViewer(newDocument))->show();
        return;
    }
    document = newDocument;
    newDocument->setParent(this);
    attachDocument();
}

void FileViewer::openFile(const QString &fileName)
{
    auto *newDocument = new BackupDocument(this);
    if (const auto loaded = newDocument->load(fileName); !loaded) {
        delete newDocument;
        showLoadError(fileName, loaded.error());
        return;
    }
    // A document the user has not touched gives way without a question.
    if (document && document->isUntouched())
        closeDocument();
    present(newDocument);
}

void FileViewer::on_actionNew_triggered()
{
    present(new BackupDocument(this));
}

void FileViewer::on_actionOpen_triggered()
{
    const QString fileName = QFileDialog::getOpenFileName(
        this, tr("Open Backup File"), startFileName(), tr("Backup files (*.vrk)"));
    if (!fileName.isEmpty())
        openFile(fileName);
}

// A value typed into a cell stays in its editor until the cell loses the
// focus, which a shortcut or a tool button does not take: saving or closing
// must not pass it by.
void FileViewer::commitOpenEditors()
{
    for (QAbstractItemView *view : findChildren<QAbstractItemView *>()) {
        for (QWidget *editor :
             view->viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QMetaObject::invokeMethod(view, "commitData", Q_ARG(QWidget *, editor));
    }
}

bool FileViewer::saveTo(const QString &fileName)
{
    commitOpenEditors();
    const auto saved = document->save(fileName);
    if (!saved)
        openBox(
            fileError(tr("There was an error saving the backup file."), fileName, saved.error()));
    return bool(saved);
}

bool FileViewer::saveDocument()
{
    if (!document)
        return false;
    if (!document->fileName().isEmpty())
        return saveTo(document->fileName());
    const QString fileName = askSaveBackupFileName(this, QString());
    return !fileName.isEmpty() && saveTo(fileName);
}

void FileViewer::on_actionSave_triggered()
{
    saveDocument();
}

void FileViewer::on_actionSaveAs_triggered()
{
    if (!document)
        return;
    const QString fileName = askSaveBackupFileName(this, startFileName());
    if (!fileName.isEmpty())
        saveTo(fileName);
}

void FileViewer::on_actionImport_triggered()
{
    if (!document)
        return;
    const QStringList fileNames = QFileDialog::getOpenFileNames(
        this, tr("Open Backup File"), startFileName(), tr("Backup files (*.vrk)"));
    for (const QString &fileName : fileNames) {
        if (fileName.isEmpty())
            continue;
        const auto imported = document->import(fileName);
        if (!imported) {
            // Blocking, so the files after it wait until the user has read it.
            fileError(tr("There was an error loading the backup file."), fileName, imported.error())
                ->exec();
            continue;
        }
        for (const int tag : {GroupTags::TechParams, GroupTags::RParams, GroupTags::Coordsys,
                              GroupTags::Tools, GroupTags::Teeth}) {
            if (*imported & (1 << tag))
                createSubWindow(tag);
        }
    }
    setWindowModified(document->isDirty());
}

void FileViewer::on_actionImportV5Backup_triggered()
{
    if (!document)
        return;
    const QString fileName = QFileDialog::getOpenFileName(
        this, tr("Open Backup File"), startFileName(), tr("Backup files (*.cvrk)"));
    if (fileName.isEmpty())
        return;

    BackupImport backup(fileName);
    if (const auto loaded = backup.load(); !loaded) {
        showLoadError(fileName, loaded.error());
        return;
    }
    if (!backup.selectMapping()) {
        QMessageBox *box = fileError(tr("Unsupported backup data."), fileName, QString());
        box->setInformativeText(QStringLiteral("%1: %2").arg(
            BackupImport::familyName(backup.family()), QString::number(backup.dataLevel())));
        openBox(box);
        return;
    }
    if (const auto parsed = backup.parseSections(); !parsed) {
        showLoadError(fileName, parsed.error());
        return;
    }

    auto *group = document->group(GroupTags::TechParams);
    if (!group) {
        // The values must be seen and exported like any other group's.
        group = document->addGroup(GroupTags::TechParams);
        createSubWindow(GroupTags::TechParams);
    }
    const QList<qsizetype> missed = backup.importTechParams(group, document->version());

    QStringList labels;
    if (const auto *list = qobject_cast<ParameterList *>(group)) {
        for (const qsizetype index : missed)
            labels.append(list->items().at(index).label(document->version()));
    }
    auto *box = new QMessageBox(
        QMessageBox::Information, tr("Import Completed"),
        tr("Import completed. Following parameters were not imported and must be checked:"),
        QMessageBox::Ok, this);
    box->setInformativeText(labels.join(QLatin1Char('\n')));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

template <typename Export> void FileViewer::exportTo(Export exportFunction)
{
    QFileDialog *dialog = CreateSaveBackupDialog(this);
    if (!document->fileName().isEmpty())
        dialog->setDirectory(QFileInfo(document->fileName()).absolutePath());
    connect(dialog, &QFileDialog::fileSelected, this, [this, exportFunction](const QString &name) {
        if (name.isEmpty() || !document)
            return;
        if (const auto exported = exportFunction(name); !exported)
            openBox(fileError(tr("There was an error saving the backup file."), name,
                              exported.error()));
    });
    dialog->open();
}

void FileViewer::on_actionExportConfig_triggered()
{
    if (!document)
        return;
    exportTo([this](const QString &name) { return document->exportWithoutTeeth(name); });
}

void FileViewer::onExportGroupTriggered(GroupTag tag)
{
    if (!document || !document->group(tag))
        return;
    exportTo([this, tag](const QString &name) { return document->exportGroup(tag, name); });
}

void FileViewer::on_actionSelectDataModel_triggered()
{
    auto *dialog = new ModelVersionDialog(document ? document->version() : ModelVersion(), this);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        if (result == QDialog::Accepted && document)
            document->setVersion(dialog->version());
        dialog->deleteLater();
    });
    dialog->open();
}

bool FileViewer::closeDocument()
{
    if (!document)
        return true;
    commitOpenEditors();
    if (document->isDirty()) {
        QMessageBox question(
            QMessageBox::Question, tr("Save Changes"),
            tr("You have unsaved changes. Do you want to save them before closing?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
        question.setDefaultButton(QMessageBox::Yes);
        question.setEscapeButton(QMessageBox::Cancel);
        switch (question.exec()) {
        case QMessageBox::Yes:
            if (!saveDocument())
                return false;
            break;
        case QMessageBox::No:
            break;
        default:
            return false;
        }
    }
    // The views point into the groups: they go before the document.
    qDeleteAll(ui->mdiArea->subWindowList());
    setWindowTitle(tr("Backup File Editor"));
    setWindowModified(false);
    setDocumentActionsEnabled(false);
    delete document;
    return true;
}

void FileViewer::on_actionClose_triggered()
{
    if (closeDocument() && s_windowCount > 1)
        close();
}

void FileViewer::closeEvent(QCloseEvent *event)
{
    if (!closeDocument()) {
        event->ignore();
        return;
    }
    QSettings settings;
    settings.beginGroup(SettingsKeys::FileViewer);
    settings.setValue(SettingsKeys::Geometry, saveGeometry());
    settings.setValue(SettingsKeys::State, saveState());
    settings.setValue(SettingsKeys::MdiMode, ui->actionMultiWindow->isChecked());
    event->accept();
}

void FileViewer::on_actionMultiWindow_toggled(bool checked)
{
    ui->mdiArea->setViewMode(checked ? QMdiArea::SubWindowView : QMdiArea::TabbedView);
    for (QAction *action : {ui->actionTile, ui->actionCascade, ui->actionColumns})
        action->setEnabled(checked);
}

void FileViewer::on_actionColumns_triggered()
{
    const QList<QMdiSubWindow *> subWindows = ui->mdiArea->subWindowList();
    if (subWindows.isEmpty())
        return;
    // Sub-windows live in the viewport, inside the area's frame.
    const QSize area = ui->mdiArea->viewport()->size();
    const int width = area.width() / int(subWindows.size());
    const int height = area.height();
    for (int i = 0; i < subWindows.size(); ++i) {
        subWindows[i]->resize(width, height);
        subWindows[i]->move(i * width, 0);
    }
}

void FileViewer::on_actionHelpAbout_triggered()
{
    // The editor works without a machine.
    HelpActions::showAbout(this);
}

void FileViewer::on_actionCheckUpdates_triggered()
{
    HelpActions::checkForUpdates();
}

void FileViewer::on_actionHelpAboutQt_triggered()
{
    QMessageBox::aboutQt(this, tr("About Qt"));
}
