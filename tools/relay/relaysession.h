#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWebSocketProtocol>

class QWebSocket;
class RelayDispatcher;

namespace Acpu {
class ModbusConnection;
}

// One client socket and the Modbus connection to its machine, which lives
// exactly as long as the socket. Deletes itself when the socket is gone.
class RelaySession : public QObject
{
    Q_OBJECT
public:
    // A machine that has not answered the connect by then counts as unreachable.
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int CloseTimeoutMs = 5000;
    // Far more than a full queue of answers: a client that lets this much
    // pile up is not reading them.
    static constexpr qint64 MaxUnsentBytes = 1024 * 1024;

    RelaySession(QWebSocket *socket, const QString &host, int id, QObject *parent = nullptr);
    ~RelaySession() override;

private:
    void onMachineState();
    void onBadInput(const QString &reason);
    void closeSocket(QWebSocketProtocol::CloseCode code, const QString &reason);
    void onDisconnected();

    QWebSocket *m_socket;
    Acpu::ModbusConnection *m_machine;
    RelayDispatcher *m_dispatcher;
    QString m_name;
    QString m_failure; // the first failed machine request
    QTimer m_connectTimer;
    bool m_connectStarted = false;
    bool m_closing = false;
    int m_badMessages = 0;
};
