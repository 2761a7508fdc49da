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

HostnameDialog::HostnameDialog(Machine *machine, const QString &hostname, QWidget *parent)
    : QDialog(parent), ui(new Ui::HostnameDialog), machine(machine)
{
    ui->setupUi(this);
    ui->hostnameBox->addItems(QSettings().value(SettingsKeys::Hostnames).toStringList());
    spinner = new QWaitingSpinner(ui->centralWidget, true, true);

    Acpu::Connection *connection = machine->connection();
    connect(ui->mdnsTableView, &MdnsTableView::machineSelected, ui->hostnameBox,
            &QComboBox::setCurrentText);
    connect(ui->mdnsTableView, &MdnsTableView::machineConnect, this,
            &HostnameDialog::OpenConnection);
    connect(connection, &Acpu::Connection::stateChanged, this, &HostnameDialog::OnStateChanged);
    connect(connection, &Acpu::Connection::errorOccurred, this, &HostnameDialog::OnError);

    if (!hostname.isEmpty()) {
        ui->hostnameBox->setEditText(hostname);
        OpenConnection(hostname);
    }
}

HostnameDialog::~HostnameDialog()
{
    delete ui;
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

void HostnameDialog::ShowCommunicationError(int errorCode, const QString &errorMessage)
{
    auto *box = new QMessageBox(QMessageBox::Critical, tr("Communication Error"),
                                tr("There was an error in communication with the machine."),
                                QMessageBox::Ok, this);
    box->setInformativeText(
        QStringLiteral("%2 - %1").arg(errorMessage, QString::number(errorCode)));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
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
            ShowCommunicationError(connection->ErrorCode(), connection->ErrorString());
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
    if (opening)
        errorShownWhileOpening = true;
    ShowCommunicationError(errorCode, errorMessage);
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
    AddToHistory(machine->connection()->Host());
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

void HostnameDialog::AddToHistory(const QString &hostname)
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
