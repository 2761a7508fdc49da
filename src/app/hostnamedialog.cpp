#include "app/hostnamedialog.h"
#include "ui_hostnamedialog.h"

#include "acpu/connection.h"
#include "app/settingskeys.h"
#include "backup/messagebox.h"
#include "model/machine.h"
#include "widgets/qwaitingspinner.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <algorithm>

namespace {
QString geometryKey()
{
    return SettingsKeys::HostnameDialog + QLatin1Char('/') + SettingsKeys::Geometry;
}

// The history as the program keeps it, even when the file was written by hand
// or by an older program: no blank entry, each host once regardless of case.
QStringList storedHistory(const QSettings &settings)
{
    QStringList hosts;
    for (const QString &entry : settings.value(SettingsKeys::Hostnames).toStringList()) {
        const QString host = entry.trimmed();
        if (!host.isEmpty() && !hosts.contains(host, Qt::CaseInsensitive))
            hosts.append(host);
    }
    return hosts.first(std::min<qsizetype>(hosts.size(), HostnameDialog::HistoryLength));
}
} // namespace

HostnameDialog::HostnameDialog(Machine *machine, const QString &hostname, QWidget *parent)
    : QDialog(parent), ui(new Ui::HostnameDialog), m_machine(machine)
{
    ui->setupUi(this);
    QSettings settings;
    ui->hostnameBox->addItems(storedHistory(settings));
    restoreGeometry(settings.value(geometryKey()).toByteArray());
    m_spinner = new QWaitingSpinner(ui->centralWidget, true, true);

    Acpu::Connection *connection = machine->connection();
    connect(ui->mdnsTableView, &MdnsTableView::machineSelected, ui->hostnameBox,
            &QComboBox::setCurrentText);
    // The host being connected is the one shown.
    connect(ui->mdnsTableView, &MdnsTableView::machineConnect, ui->hostnameBox,
            &QComboBox::setCurrentText);
    connect(ui->mdnsTableView, &MdnsTableView::machineConnect, this,
            &HostnameDialog::OpenConnection);
    connect(connection, &Acpu::Connection::stateChanged, this, &HostnameDialog::OnStateChanged);
    connect(connection, &Acpu::Connection::errorOccurred, this, &HostnameDialog::OnError);

    if (const QString host = hostname.trimmed(); !host.isEmpty()) {
        ui->hostnameBox->setEditText(host);
        OpenConnection(host);
    }
}

HostnameDialog::~HostnameDialog()
{
    QSettings().setValue(geometryKey(), saveGeometry());
}

void HostnameDialog::setBusy(bool value)
{
    m_busy = value;
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!m_busy);
    if (m_busy)
        m_spinner->start();
    else
        m_spinner->stop();
}

void HostnameDialog::showCommunicationError(int errorCode, const QString &errorMessage)
{
    auto *box = new QMessageBox(QMessageBox::Critical, tr("Communication Error"),
                                tr("There was an error in communication with the machine."),
                                QMessageBox::Ok, this);
    box->setInformativeText(
        QStringLiteral("%2 - %1").arg(errorMessage, QString::number(errorCode)));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // A box opened before its dialog is placed would sit at the screen's corner.
    if (isVisible())
        box->open();
    else
        m_waitingBox = box;
}

void HostnameDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QMessageBox *box = m_waitingBox.data())
        QTimer::singleShot(0, box, [box] { box->open(); });
    m_waitingBox = nullptr;
}

void HostnameDialog::OpenConnection(QString hostname)
{
    if (m_busy)
        return;
    Acpu::Connection *connection = m_machine->connection();
    m_opening = true;
    m_errorShownWhileOpening = false;
    m_cancelled = false;
    const bool started = connection->SetHost(hostname);
    m_opening = false;
    if (!started) {
        if (!m_errorShownWhileOpening)
            showCommunicationError(connection->ErrorCode(), connection->ErrorString());
        return;
    }
    if (!m_busy)
        setBusy(true);
}

void HostnameDialog::OnStateChanged()
{
    Acpu::Connection *connection = m_machine->connection();
    switch (connection->State()) {
    case Acpu::Connection::Connecting:
        if (!m_busy)
            setBusy(true);
        break;
    case Acpu::Connection::Offline:
    case Acpu::Connection::Disconnected:
        if (m_busy)
            setBusy(false);
        break;
    case Acpu::Connection::Connected: {
        const Acpu::Connection::Result request = m_machine->requestIdentification();
        if (!request) {
            if (m_busy)
                setBusy(false);
            ShowConnectionBroken(this);
            break;
        }
        connect(*request, &Acpu::Request::finished, this, &HostnameDialog::OnIdLoaded);
        break;
    }
    }
}

void HostnameDialog::OnError(int errorCode, QString errorMessage)
{
    // One failed attempt may be reported more than once: one box for it.
    if (m_opening) {
        if (m_errorShownWhileOpening)
            return;
        m_errorShownWhileOpening = true;
    }
    showCommunicationError(errorCode, errorMessage);
}

void HostnameDialog::OnIdLoaded()
{
    auto *request = qobject_cast<Acpu::Request *>(sender());
    if (m_busy)
        setBusy(false);
    if (!request)
        return;
    if (!request->ErrorString().isEmpty()) {
        // Cancel drops the connection under the identification: no error.
        if (!m_cancelled)
            ShowRequestError(request, this);
        return;
    }
    // A machine too old to identify itself is accepted all the same.
    m_machine->updateIdentification();
    addToHistory(m_machine->connection()->Host());
    QDialog::done(Accepted);
}

void HostnameDialog::done(int r)
{
    if (r == Accepted) {
        const QString hostname = ui->hostnameBox->currentText().trimmed();
        if (!hostname.isEmpty())
            OpenConnection(hostname);
        return;
    }
    if (r == Rejected && m_busy) {
        m_cancelled = true;
        m_machine->connection()->Disconnect();
        return;
    }
    QDialog::done(r);
}

void HostnameDialog::addToHistory(const QString &hostname)
{
    QSettings settings;
    QStringList hosts = storedHistory(settings);
    const auto same = [&hostname](const QString &entry) {
        return entry.compare(hostname, Qt::CaseInsensitive) == 0;
    };
    if (const auto it = std::find_if(hosts.begin(), hosts.end(), same); it != hosts.end())
        hosts.erase(it);
    hosts.prepend(hostname);
    while (hosts.size() > HistoryLength)
        hosts.removeLast();
    settings.setValue(SettingsKeys::Hostnames, hosts);
}
