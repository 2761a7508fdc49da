#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <optional>

class QWebSocketServer;

// Accepts client sockets on a loopback address and gives each one a session
// with the machine named in its path, /ws/vrk6/device/<host>/.
class RelayServer : public QObject
{
    Q_OBJECT
public:
    // Large enough for any command, small enough that nobody can make us
    // buffer much.
    static constexpr qint64 MaxMessageBytes = 64 * 1024;
    static constexpr int HandshakeTimeoutMs = 5000;

    explicit RelayServer(QObject *parent = nullptr);

    bool Listen(const QHostAddress &address, quint16 port, QString *error);
    quint16 Port() const;

    // The machine's host (with optional port) from a request path, or
    // nullopt when the path names none.
    static std::optional<QString> HostFromPath(const QString &path);

private:
    void OnNewConnection();

    QWebSocketServer *server;
    int nextId = 1;
};
