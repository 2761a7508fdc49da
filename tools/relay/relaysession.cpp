#include "relaysession.h"

#include "relaydispatcher.h"
#include "relaylog.h"

#include "acpu/modbusconnection.h"

#include <QJsonDocument>
#include <QWebSocket>

namespace {
// A close frame has room for 123 bytes of reason.
constexpr qsizetype MaxReasonBytes = 123;

QString Truncated(const QString &reason)
{
    QByteArray bytes = reason.toUtf8();
    if (bytes.size() <= MaxReasonBytes)
        return reason;
    bytes.truncate(MaxReasonBytes);
    // Do not leave half a character behind.
    while (!bytes.isEmpty() && (static_cast<quint8>(bytes.back()) & 0xC0) == 0x80)
        bytes.chop(1);
    if (!bytes.isEmpty() && static_cast<quint8>(bytes.back()) >= 0xC0)
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}
} // namespace

RelaySession::RelaySession(QWebSocket *socket, const QString &host, int id, QObject *parent)
    : QObject(parent), socket(socket), machine(new Acpu::ModbusConnection(this)),
      dispatcher(new RelayDispatcher(machine, this)),
      name(QStringLiteral("socket %1 (%2)").arg(id).arg(host))
{
    socket->setParent(this);
    connect(socket, &QWebSocket::disconnected, this, &RelaySession::OnDisconnected);
    connect(socket, &QWebSocket::textMessageReceived, dispatcher, &RelayDispatcher::HandleMessage);
    connect(socket, &QWebSocket::binaryMessageReceived, this,
            [this] { OnBadInput(QStringLiteral("binary frame")); });
    connect(dispatcher, &RelayDispatcher::answer, this, [this](const QJsonObject &event) {
        if (!closing)
            this->socket->sendTextMessage(
                QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact)));
    });
    connect(dispatcher, &RelayDispatcher::badInput, this, &RelaySession::OnBadInput);
    connect(dispatcher, &RelayDispatcher::machineFailed, this, [this](const QString &reason) {
        // The client still gets every answer to what the machine was already
        // asked; the close frame follows the last of them.
        if (failure.isEmpty())
            failure = reason;
        dispatcher->Stop();
    });
    connect(dispatcher, &RelayDispatcher::drained, this,
            [this] { CloseSocket(QWebSocketProtocol::CloseCodeBadOperation, failure); });
    // The error text and the state change arrive in either order: look at
    // both once the transport has settled.
    connect(machine, &Acpu::Connection::stateChanged, this,
            [this] { QTimer::singleShot(0, this, &RelaySession::OnMachineState); });

    connectTimer.setSingleShot(true);
    connectTimer.setInterval(ConnectTimeoutMs);
    connect(&connectTimer, &QTimer::timeout, this, [this] {
        CloseSocket(QWebSocketProtocol::CloseCodeBadOperation,
                    QStringLiteral("machine unreachable: no answer within %1 s")
                        .arg(ConnectTimeoutMs / 1000));
    });

    RelayLog(QStringLiteral("%1: connected from %2:%3")
                 .arg(name, socket->peerAddress().toString())
                 .arg(socket->peerPort()));
    connectTimer.start();
    const bool started = machine->SetHost(host);
    connectStarted = true;
    if (!started)
        QTimer::singleShot(0, this, &RelaySession::OnMachineState);
}

RelaySession::~RelaySession()
{
    // Neither we nor the dispatcher may hear the machine's last state change.
    machine->disconnect(this);
    delete dispatcher;
    delete machine;
}

void RelaySession::OnMachineState()
{
    if (!connectStarted || closing)
        return;
    switch (machine->State()) {
    case Acpu::Connection::Connected:
        if (connectTimer.isActive()) {
            connectTimer.stop();
            RelayLog(QStringLiteral("%1: machine connected").arg(name));
        }
        break;
    case Acpu::Connection::Disconnected: {
        const QString error = machine->ErrorString().isEmpty() ? QStringLiteral("connection closed")
                                                               : machine->ErrorString();
        CloseSocket(QWebSocketProtocol::CloseCodeBadOperation,
                    QStringLiteral("machine unreachable: %1").arg(error));
        break;
    }
    case Acpu::Connection::Connecting:
    case Acpu::Connection::Offline:
        break;
    }
}

void RelaySession::OnBadInput(const QString &reason)
{
    // Logged once per socket: a broken client must not flood the log.
    if (badMessages++ == 0)
        RelayLog(QStringLiteral("%1: ignoring bad input (%2); further bad input on this socket "
                                "is ignored silently")
                     .arg(name, reason));
}

void RelaySession::CloseSocket(QWebSocketProtocol::CloseCode code, const QString &reason)
{
    if (closing)
        return;
    closing = true;
    connectTimer.stop();
    RelayLog(QStringLiteral("%1: closing: %2").arg(name, reason));
    socket->close(code, Truncated(reason));
    // A peer that never completes the closing handshake is cut off.
    QTimer::singleShot(CloseTimeoutMs, socket, &QWebSocket::abort);
}

void RelaySession::OnDisconnected()
{
    RelayLog(QStringLiteral("%1: closed%2")
                 .arg(name, badMessages
                                ? QStringLiteral(", %1 bad messages ignored").arg(badMessages)
                                : QString()));
    closing = true;
    deleteLater();
}
