#pragma once

#include "core/result.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

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

    Result<void> listen(const QHostAddress &address, quint16 port);
    quint16 port() const;

    // The machine's host (with optional port) from a request path; fails
    // when the path names none.
    static Result<QString> hostFromPath(const QString &path);

private:
    void onNewConnection();

    QWebSocketServer *m_server;
    int m_nextId = 1;
};
