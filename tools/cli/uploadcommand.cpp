#include "uploadcommand.h"

#include "acpu/hostport.h"
#include "acpu/modbusconnection.h"

#include <QHostAddress>
#include <QSet>

UploadCommand::UploadCommand(QObject *parent)
    : MachineCommand(QStringLiteral("upload"), MachineFleet, parent)
{
}

QString UploadCommand::summary() const
{
    return QStringLiteral("Sends a CNC program to each machine that is ready for an upload and "
                          "reports the machine's result code.");
}

Result<void> UploadCommand::take(const QCommandLineParser &parser)
{
    m_hosts = parser.positionalArguments();
    if (m_hosts.size() < 2)
        return std::unexpected(QStringLiteral("name at least one machine and the program file"));
    m_program = m_hosts.takeLast();
    if (const auto checked = checkHosts(m_hosts); !checked)
        return checked;
    // One machine named twice would take two uploads at once, their chunks
    // mixed in its one upload window.
    QSet<QString> machines;
    for (const QString &host : std::as_const(m_hosts)) {
        const Acpu::HostPort parsed =
            *Acpu::ParseHostPort(host, Acpu::ModbusConnection::DefaultPort);
        const QHostAddress address(parsed.host);
        const QString key = QStringLiteral("%1 %2")
                                .arg(address.isNull() ? parsed.host.toLower() : address.toString())
                                .arg(parsed.port);
        if (machines.contains(key))
            return std::unexpected(QStringLiteral("%1 is named twice").arg(host));
        machines.insert(key);
    }
    return {};
}

void UploadCommand::start()
{
    // Read once, before any machine is touched.
    auto image = ProgramSender::readImage(m_program);
    if (!image) {
        m_out.failure(m_program, jobErrorText(image.error()));
        return done();
    }
    m_image = *image;
    MachineCommand::start();
}

void UploadCommand::work(MachineLink &link, Outcome &outcome, MachineLink::Done ended)
{
    auto *sender = new ProgramSender(&link.machine(), &link);
    follow(sender, link, QStringLiteral("uploading"), ended);
    connect(sender, &ProgramSender::readyChecked, this, [this, sender, &link, ended](bool ready) {
        if (!ready) {
            link.unwatch();
            return ended(QStringLiteral("the machine is not ready for a program upload"));
        }
        startOrEnd(sender->send(m_image), link, ended);
    });
    connect(sender, &ProgramSender::resultRead, this, [this, &link, &outcome, ended](quint32 code) {
        link.unwatch();
        outcome.json.insert(QStringLiteral("file"), m_program);
        outcome.json.insert(QStringLiteral("resultCode"), qint64(code));
        switch (ProgramSender::classify(code)) {
        case ProgramSender::Outcome::Success:
            outcome.lines.append(QStringLiteral("%1: %2 uploaded (%3 words)")
                                     .arg(link.host(), m_program)
                                     .arg(m_image.size()));
            return ended(QString());
        case ProgramSender::Outcome::Unexpected:
            return ended(QStringLiteral("unexpected problem uploading the program, result code %1")
                             .arg(code));
        case ProgramSender::Outcome::Error:
            outcome.json.insert(QStringLiteral("errorCode"), qint64(code - 3));
            return ended(QStringLiteral("the machine reports error code %1").arg(code - 3));
        }
    });
    startOrEnd(sender->checkReady(), link, ended);
}
