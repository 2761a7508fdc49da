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
    : QObject(parent), server(new QWebSocketServer(QStringLiteral("vrk6-relay"),
                                                   QWebSocketServer::NonSecureMode, this))
{
    server->setHandshakeTimeout(HandshakeTimeoutMs);
    connect(server, &QWebSocketServer::newConnection, this, &RelayServer::OnNewConnection);
    // Browsers always send an Origin: refusing them keeps any web page the
    // user opens from driving a machine through us.
    connect(
        server, &QWebSocketServer::originAuthenticationRequired, this,
        [](QWebSocketCorsAuthenticator *authenticator) {
            authenticator->setAllowed(authenticator->origin().isEmpty());
            if (!authenticator->origin().isEmpty())
                RelayLog(
                    QStringLiteral("refused a socket from origin %1").arg(authenticator->origin()));
        });
}

bool RelayServer::Listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (!address.isLoopback()) {
        *error = QStringLiteral("%1 is not a loopback address").arg(address.toString());
        return false;
    }
    if (!server->listen(address, port)) {
        *error = server->errorString();
        return false;
    }
    RelayLog(QStringLiteral("listening on %1 port %2").arg(address.toString()).arg(Port()));
    return true;
}

quint16 RelayServer::Port() const
{
    return server->serverPort();
}

std::optional<QString> RelayServer::HostFromPath(const QString &path)
{
    static const QString prefix = QStringLiteral("/ws/vrk6/device/");
    if (!path.startsWith(prefix))
        return std::nullopt;
    QString host = path.mid(prefix.size());
    if (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    if (host.contains(QLatin1Char('/')) || host != host.trimmed())
        return std::nullopt;
    if (!Acpu::ParseHostPort(host, Acpu::ModbusConnection::DefaultPort))
        return std::nullopt;
    return host;
}

void RelayServer::OnNewConnection()
{
    while (QWebSocket *socket = server->nextPendingConnection()) {
        socket->setMaxAllowedIncomingMessageSize(MaxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(MaxMessageBytes);
        const int id = nextId++;
        const QString path = socket->requestUrl().path();
        const auto host = HostFromPath(path);
        if (!host) {
            RelayLog(
                QStringLiteral("socket %1: no machine in path %2").arg(id).arg(path.left(200)));
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
