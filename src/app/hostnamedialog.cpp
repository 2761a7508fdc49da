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

namespace {
QString geometryKey()
{
    return SettingsKeys::HostnameDialog + QLatin1Char('/') + SettingsKeys::Geometry;
}
} // namespace

HostnameDialog::HostnameDialog(Machine *machine, const QString &hostname, QWidget *parent)
    : QDialog(parent), ui(new Ui::HostnameDialog), machine(machine)
{
    ui->setupUi(this);
    QSettings settings;
    ui->hostnameBox->addItems(settings.value(SettingsKeys::Hostnames).toStringList());
    restoreGeometry(settings.value(geometryKey()).toByteArray());
    spinner = new QWaitingSpinner(ui->centralWidget, true, true);

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
    busy = value;
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!busy);
    if (busy)
        spinner->start();
    else
        spinner->stop();
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
        waitingBox = box;
}

void HostnameDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QMessageBox *box = waitingBox.data())
        QTimer::singleShot(0, box, [box] { box->open(); });
    waitingBox = nullptr;
}

void HostnameDialog::OpenConnection(QString hostname)
{
    if (busy)
        return;
    Acpu::Connection *connection = machine->connection();
    opening = true;
    errorShownWhileOpening = false;
    const bool started = connection->SetHost(hostname);
    opening = false;
    if (!started) {
        if (!errorShownWhileOpening)
            showCommunicationError(connection->ErrorCode(), connection->ErrorString());
        return;
    }
    if (!busy)
        setBusy(true);
}

void HostnameDialog::OnStateChanged()
{
    Acpu::Connection *connection = machine->connection();
    switch (connection->State()) {
    case Acpu::Connection::Connecting:
        if (!busy)
            setBusy(true);
        break;
    case Acpu::Connection::Offline:
    case Acpu::Connection::Disconnected:
        if (busy)
            setBusy(false);
        break;
    case Acpu::Connection::Connected: {
        const Acpu::Connection::Result request = machine->requestIdentification();
        if (!request) {
            if (busy)
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
    if (opening) {
        if (errorShownWhileOpening)
            return;
        errorShownWhileOpening = true;
    }
    showCommunicationError(errorCode, errorMessage);
}

void HostnameDialog::OnIdLoaded()
{
    auto *request = qobject_cast<Acpu::Request *>(sender());
    if (busy)
        setBusy(false);
    if (!request)
        return;
    if (!request->ErrorString().isEmpty()) {
        ShowRequestError(request, this);
        return;
    }
    // A machine too old to identify itself is accepted all the same.
    machine->updateIdentification();
    addToHistory(machine->connection()->Host());
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
    if (r == Rejected && busy) {
        machine->connection()->Disconnect();
        return;
    }
    QDialog::done(r);
}

void HostnameDialog::addToHistory(const QString &hostname)
{
    QSettings settings;
    QStringList hosts = settings.value(SettingsKeys::Hostnames).toStringList();
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
