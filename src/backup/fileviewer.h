#pragma once

#include "model/modelversion.h"
#include "model/parametergroup.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <memory>

class BackupDocument;
class QAction;
class QMessageBox;

namespace Ui {
class FileViewer;
}

// The Backup File Editor: one window per backup document, one sub-window per
// parameter group, no machine. The editor is a program of its own: the last
// of its windows to go ends the event loop.
class FileViewer : public QMainWindow
{
    Q_OBJECT
public:
    // A new, untouched document.
    explicit FileViewer(QWidget *parent = nullptr);
    // Adopts the document.
    explicit FileViewer(BackupDocument *document, QWidget *parent = nullptr);
    // Starts empty and opens fileName unless it is empty; a file that cannot
    // be loaded leaves the window empty and shows why.
    explicit FileViewer(const QString &fileName, QWidget *parent = nullptr);
    ~FileViewer() override;

    // Editor windows alive in this process.
    static int windowCount();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onDirtyChanged(bool dirty);
    void onTitleChanged(const QString &fileName, const ModelVersion &version);
    void on_actionExportConfig_triggered();
    void onExportGroupTriggered(GroupTag tag);
    void on_actionClose_triggered();
    void on_actionColumns_triggered();
    void on_actionHelpAboutQt_triggered();
    void on_actionHelpAbout_triggered();
    void on_actionCheckUpdates_triggered();
    void on_actionImport_triggered();
    void on_actionMultiWindow_toggled(bool checked);
    void on_actionOpen_triggered();
    void on_actionSaveAs_triggered();
    void on_actionSave_triggered();
    void on_actionNew_triggered();
    void on_actionSelectDataModel_triggered();
    void on_actionImportV5Backup_triggered();

private:
    // What every constructor does before it has a document.
    void setUpWindow();
    void attachDocument();
    void createSubWindow(int tag);
    // The view follows the filter action and the document's data model.
    template <typename View> View *followed(View *view);
    void openFile(const QString &fileName);
    bool saveTo(const QString &fileName);
    void commitOpenEditors();
    bool saveDocument();
    bool closeDocument();
    // Shows the document in this window if it is empty, else in a new one.
    void present(BackupDocument *newDocument);
    void setDocumentActionsEnabled(bool enabled);
    // Opens a save dialog whose chosen file receives export(name).
    template <typename Export> void exportTo(Export exportFunction);
    // A warning about fileName, not yet shown, deleted when closed.
    QMessageBox *fileError(const QString &text, const QString &fileName, const QString &detail);
    void openBox(QMessageBox *box);
    void showLoadError(const QString &fileName, const QString &detail);
    QString startFileName() const;

    std::unique_ptr<Ui::FileViewer> ui;
    QPointer<BackupDocument> document;
    QMap<int, QAction *> exportActions;

    static int s_windowCount;
};
