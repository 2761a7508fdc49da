#pragma once

#include "model/parametergroup.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class ItemsFilterModel;
class Machine;
class QAbstractButton;
class QDialogButtonBox;
class QFileDialog;
class QTableView;
class TableModel;

namespace Acpu {
class Connection;
class Request;
} // namespace Acpu

// What the live editors of the parameter groups and of the teeth share: the
// one-time and automatic refresh from the machine, writing the edits, the
// close prompt, and loading and saving the group as a backup. The window owns
// its group and is deleted when closed. Requests may outlive the window, so
// everything that reaches the group on their finish is bound to it.
class LiveEditor : public QMainWindow
{
    Q_OBJECT
public:
    ~LiveEditor() override;

    ParameterGroup *group() const { return m_group; }

signals:
    // A read of the automatic refresh has ended (its values shown when ok).
    void periodicReadFinished(bool ok);

public slots:
    // Reads the whole group once, with a wait box; the main window calls it
    // right after showing a new editor.
    void on_actionRefreshOnce_triggered();

protected:
    // The form's pieces the shared behaviour drives.
    struct Form
    {
        QTableView *table;
        QDialogButtonBox *buttonBox;
        QAction *open;
        QAction *refresh1s;
        QAction *refresh100ms;
    };

    LiveEditor(Machine *machine, ParameterGroup *group, QWidget *parent);
    // Call once the form is set up.
    void attach(const Form &form);
    void closeEvent(QCloseEvent *event) override;
    // The active-items filter of the table (and of whatever else the window
    // filters).
    virtual void setActiveItemsFilter(bool enabled);

    TableModel *m_model;
    ItemsFilterModel *m_filter;

private slots:
    void on_actionRefresh1s_triggered(bool checked);
    void on_actionRefresh100ms_triggered(bool checked);
    void on_actionFilterItems_triggered(bool checked);
    void on_actionOpen_triggered();
    void on_actionSave_triggered();
    void on_buttonBox_clicked(QAbstractButton *button);
    void LoadBackup(const QString &fileName);
    void SaveBackup(const QString &fileName);
    void PeriodicRefresh();
    void OnModelDataChanged();

private:
    bool autoRefreshOn() const;
    void setAutoRefresh(QAction *action, QAction *other, int intervalMs, bool checked);
    // True when there is nothing unwritten or the user lets a read replace it.
    bool confirmDiscard();
    // discarded: the edits the user agreed to replace when the read began.
    void OnLoadCompleted(Acpu::Request *request, const ParameterGroup::VariableValues &discarded);
    void onPeriodicReadCompleted(Acpu::Request *request);
    // True when the machine's values (just read) are what the table shows:
    // a refresh that changes nothing repaints nothing.
    bool matchesMachine() const;
    void writeEdits(bool closeWhenDone);
    void onWriteCompleted(Acpu::Request *request, const ParameterGroup::VariableValues &written);
    void onReadBackCompleted(Acpu::Request *request, const ParameterGroup::VariableValues &written);
    // Ends a write (and its read-back); true when the window is to close now
    // that the values are written.
    bool endWrite();
    void showFileError(const QString &text, const QString &fileName, const QString &detail);
    QString settingsGroup() const;

    Machine *m_machine;
    Acpu::Connection *m_connection;
    ParameterGroup *m_group;
    QFileDialog *m_openDialog = nullptr;
    QFileDialog *m_saveDialog = nullptr;
    QTimer m_refreshTimer;
    // The automatic refresh's read while it runs: never more than one.
    QPointer<Acpu::Request> m_periodicRead;
    // One write at a time: a close while it runs waits for its end instead of
    // asking again and sending the same values a second time.
    bool m_writing = false;
    bool m_closeAfterWrite = false;
    Form m_form{};
};
