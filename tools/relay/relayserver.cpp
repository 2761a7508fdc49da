#include "relayserver.h"

#include "relaylog.h"
#include "relaysession.h"

#include "acpu/hostport.h"
#include "acpu/modbusconnection.h"

#include <QTimer>
#include <QWebSocket>
#include <QWebSocketCorsAuthenticator>
#include <QWebSocketServer>

RelayServer::RelayServer(QObject *parent)
    : QObject(parent), m_server(new QWebSocketServer(QStringLiteral("vrk6-relay"),
                                                     QWebSocketServer::NonSecureMode, this))
{
    m_server->setHandshakeTimeout(HandshakeTimeoutMs);
    connect(m_server, &QWebSocketServer::newConnection, this, &RelayServer::onNewConnection);
    // Browsers always send an Origin: refusing them keeps any web page the
    // user opens from driving a machine through us.
    connect(
        m_server, &QWebSocketServer::originAuthenticationRequired, this,
        [](QWebSocketCorsAuthenticator *authenticator) {
            authenticator->setAllowed(authenticator->origin().isEmpty());
            if (!authenticator->origin().isEmpty())
                relayLog(
                    QStringLiteral("refused a socket from origin %1").arg(authenticator->origin()));
        });
}

Result<void> RelayServer::listen(const QHostAddress &address, quint16 port)
{
    if (!address.isLoopback())
        return std::unexpected(
            QStringLiteral("%1 is not a loopback address").arg(address.toString()));
    if (!m_server->listen(address, port))
        return std::unexpected(m_server->errorString());
    relayLog(
        QStringLiteral("listening on %1 port %2").arg(address.toString()).arg(RelayServer::port()));
    return {};
}

quint16 RelayServer::port() const
{
    return m_server->serverPort();
}

Result<QString> RelayServer::hostFromPath(const QString &path)
{
    static const QString prefix = QStringLiteral("/ws/vrk6/device/");
    if (!path.startsWith(prefix))
        return std::unexpected(QStringLiteral("not under %1").arg(prefix));
    QString host = path.mid(prefix.size());
    if (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    if (host.contains(QLatin1Char('/')) || host != host.trimmed())
        return std::unexpected(QStringLiteral("more than a host"));
    if (const auto parsed = Acpu::ParseHostPort(host, Acpu::ModbusConnection::DefaultPort); !parsed)
        return std::unexpected(parsed.error());
    return host;
}

void RelayServer::onNewConnection()
{
    while (QWebSocket *socket = m_server->nextPendingConnection()) {
        socket->setMaxAllowedIncomingMessageSize(MaxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(MaxMessageBytes);
        const int id = m_nextId++;
        const QString path = socket->requestUrl().path();
        const auto host = hostFromPath(path);
        if (!host) {
            relayLog(QStringLiteral("socket %1: no machine in path %2 (%3)")
                         .arg(id)
                         .arg(path.left(200), host.error()));
            connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
            // A peer that never completes the closing handshake is cut off.
            QTimer::singleShot(HandshakeTimeoutMs, socket, &QObject::deleteLater);
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                          QStringLiteral("no machine in path; expected /ws/vrk6/device/<host>/"));
            continue;
        }
        new RelaySession(socket, *host, id, this);
    }
}
