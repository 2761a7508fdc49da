#include "relaysession.h"

#include "relaydispatcher.h"
#include "relaylog.h"

#include "acpu/modbusconnection.h"

#include <QJsonDocument>
#include <QWebSocket>

namespace {
// A close frame has room for 123 bytes of reason.
constexpr qsizetype MaxReasonBytes = 123;

QString truncated(const QString &reason)
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
    : QObject(parent), m_socket(socket), m_machine(new Acpu::ModbusConnection(this)),
      m_dispatcher(new RelayDispatcher(m_machine, this)),
      m_name(QStringLiteral("socket %1 (%2)").arg(id).arg(host))
{
    socket->setParent(this);
    connect(socket, &QWebSocket::disconnected, this, &RelaySession::onDisconnected);
    connect(socket, &QWebSocket::textMessageReceived, m_dispatcher,
            &RelayDispatcher::handleMessage);
    connect(socket, &QWebSocket::binaryMessageReceived, this,
            [this] { onBadInput(QStringLiteral("binary frame")); });
    connect(m_dispatcher, &RelayDispatcher::answer, this, [this](const QJsonObject &event) {
        if (m_closing)
            return;
        m_socket->sendTextMessage(
            QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact)));
        if (m_socket->bytesToWrite() > MaxUnsentBytes) {
            closeSocket(QWebSocketProtocol::CloseCodePolicyViolated,
                        QStringLiteral("client not reading its answers"));
            m_dispatcher->stop();
        }
    });
    connect(m_dispatcher, &RelayDispatcher::badInput, this, &RelaySession::onBadInput);
    connect(m_dispatcher, &RelayDispatcher::machineFailed, this, [this](const QString &reason) {
        // The client still gets every answer to what the machine was already
        // asked; the close frame follows the last of them.
        if (m_failure.isEmpty())
            m_failure = reason;
        m_dispatcher->stop();
    });
    connect(m_dispatcher, &RelayDispatcher::drained, this,
            [this] { closeSocket(QWebSocketProtocol::CloseCodeBadOperation, m_failure); });
    // The error text and the state change arrive in either order: look at
    // both once the transport has settled.
    connect(m_machine, &Acpu::Connection::stateChanged, this,
            [this] { QTimer::singleShot(0, this, &RelaySession::onMachineState); });

    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        closeSocket(QWebSocketProtocol::CloseCodeBadOperation,
                    QStringLiteral("machine unreachable: no answer within %1 s")
                        .arg(ConnectTimeoutMs / 1000));
    });

    relayLog(QStringLiteral("%1: connected from %2:%3")
                 .arg(m_name, socket->peerAddress().toString())
                 .arg(socket->peerPort()));
    m_connectTimer.start();
    const bool started = m_machine->SetHost(host);
    m_connectStarted = true;
    if (!started)
        QTimer::singleShot(0, this, &RelaySession::onMachineState);
}

RelaySession::~RelaySession()
{
    // Neither we nor the dispatcher may hear the machine's last state change.
    m_machine->disconnect(this);
    delete m_dispatcher;
    delete m_machine;
}

void RelaySession::onMachineState()
{
    if (!m_connectStarted || m_closing)
        return;
    switch (m_machine->State()) {
    case Acpu::Connection::Connected:
        if (m_connectTimer.isActive()) {
            m_connectTimer.stop();
            relayLog(QStringLiteral("%1: machine connected").arg(m_name));
        }
        break;
    case Acpu::Connection::Disconnected: {
        const QString error = m_machine->ErrorString().isEmpty()
                                  ? QStringLiteral("connection closed")
                                  : m_machine->ErrorString();
        closeSocket(QWebSocketProtocol::CloseCodeBadOperation,
                    QStringLiteral("machine unreachable: %1").arg(error));
        break;
    }
    case Acpu::Connection::Connecting:
    case Acpu::Connection::Offline:
        break;
    }
}

void RelaySession::onBadInput(const QString &reason)
{
    // Logged once per socket: a broken client must not flood the log.
    if (m_badMessages++ == 0)
        relayLog(QStringLiteral("%1: ignoring bad input (%2); further bad input on this socket "
                                "is ignored silently")
                     .arg(m_name, reason));
}

void RelaySession::closeSocket(QWebSocketProtocol::CloseCode code, const QString &reason)
{
    if (m_closing)
        return;
    m_closing = true;
    m_connectTimer.stop();
    relayLog(QStringLiteral("%1: closing: %2").arg(m_name, reason));
    m_socket->close(code, truncated(reason));
    // A peer that never completes the closing handshake is cut off.
    QTimer::singleShot(CloseTimeoutMs, m_socket, &QWebSocket::abort);
}

void RelaySession::onDisconnected()
{
    relayLog(QStringLiteral("%1: closed%2")
                 .arg(m_name, m_badMessages
                                  ? QStringLiteral(", %1 bad messages ignored").arg(m_badMessages)
                                  : QString()));
    m_closing = true;
    deleteLater();
}
