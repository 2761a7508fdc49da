#pragma once

#include "acpu/connection.h"

#include <QAbstractSocket>
#include <QHash>
#include <QJsonObject>
#include <QTimer>

class QWebSocket;

namespace Acpu {

// The connection through the local relay service: one WebSocket carrying
// JSON commands and events; the machine is named in the URL path.
class WsConnection : public Connection
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultServicePort = 8000;
    static constexpr qint64 ChunkLength = 60;
    // Far above any answer of the service; refused rather than buffered.
    static constexpr qint64 MaxMessageBytes = 1024 * 1024;
    // A refresh the service has not answered by then has failed.
    static constexpr int RefreshTimeoutMs = 1000;

    explicit WsConnection(QObject *parent = nullptr);
    ~WsConnection() override;

    int ReadInt(int index) override;
    float ReadFloat(int index) override;
    Result Read(const VarRanges &ranges) override;
    Result Write(const VarRanges &ranges, const QList<Value> &values) override;
    void GetDisplay(Display &out) override;
    void SendKey(int code) override;
    bool IsBusy() override;
    bool Open() override;
    void Close() override;
    void Refresh() override;

    // The relay service's port; takes effect on the next Open().
    quint16 ServicePort() const { return m_servicePort; }
    void SetServicePort(quint16 port) { m_servicePort = port; }

private slots:
    void OnStateChange(QAbstractSocket::SocketState state);
    void OnError(QAbstractSocket::SocketError error);
    void OnMessage(QString message);
    void RemoveDestroyedRequest(QObject *object);

private:
    void CreateSocket();
    bool IsSocketConnected() const;
    void Send(const QJsonObject &message);
    void SendGetVars(Request *request, const VarRange &chunk);
    void SendSetVars(Request *request, const VarRange &chunk, const QList<Value> &values);
    int NewTid(Request *request);
    Request *TakePending(const QJsonObject &message, Request::Type type);
    void OnReadAnswer(const QJsonObject &message);
    void OnWriteAnswer(const QJsonObject &message);
    void FailPending(const QString &message);
    // Why the service closed the socket; empty for an ordinary close.
    QString CloseMessage() const;
    void OnRefreshEvent(const QJsonObject &message);
    void OnDisconnected();

    QHash<int, int> m_variables;
    QHash<int, Request *> m_pending;
    Display m_display;
    QWebSocket *m_socket = nullptr;
    quint16 m_servicePort = DefaultServicePort;
    // Runs while a "refresh" waits for its answer; that counts as busy.
    QTimer m_refreshTimer;
    // A key was sent while a refresh ran: one more refresh shows its effect.
    bool m_refreshAfterKey = false;
};

} // namespace Acpu
