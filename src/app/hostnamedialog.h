#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <memory>

class Machine;
class QWaitingSpinner;

namespace Ui {
class HostnameDialog;
}

// Picks the machine to work with: typed, from the host history or found on
// the network. Accepted only once the connection stands and the machine has
// been identified.
class HostnameDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int HistoryLength = 10;

    HostnameDialog(Machine *machine, const QString &hostname, QWidget *parent = nullptr);
    ~HostnameDialog() override;

    bool isBusy() const { return m_busy; }
    // Puts the host at the front of the stored history: each host once
    // regardless of case, spelled as last used, at most HistoryLength.
    static void addToHistory(const QString &hostname);

public slots:
    void done(int r) override;

private slots:
    void OpenConnection(QString hostname);
    void setBusy(bool value);
    void OnStateChanged();
    void OnError(int errorCode, QString errorMessage);
    void OnIdLoaded();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCommunicationError(int errorCode, const QString &errorMessage);

    std::unique_ptr<Ui::HostnameDialog> ui;
    QWaitingSpinner *m_spinner;
    Machine *m_machine;
    bool m_busy = false;
    // Set while SetHost runs, so a failure the connection has already
    // reported is not shown twice.
    bool m_opening = false;
    bool m_errorShownWhileOpening = false;
    bool m_cancelled = false; // by the user, while busy
    // An error box that waits for the dialog to be placed on the screen.
    QPointer<QMessageBox> m_waitingBox;
};
