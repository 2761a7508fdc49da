#include "acpu/wsconnection.h"

#include "acpu/logging.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>
#include <QtDebug>

#include <algorithm>
#include <bit>
#include <limits>

namespace Acpu {

WsConnection::WsConnection(QObject *parent) : Connection(parent)
{
    SetLogCategory(lcWs);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(RefreshTimeoutMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        RefreshFailed(QAbstractSocket::SocketTimeoutError,
                      tr("The relay service did not answer the panel refresh."));
        if (std::exchange(m_refreshAfterKey, false))
            Refresh();
    });
    CreateSocket();
}

WsConnection::~WsConnection()
{
    // A dying connection tells nobody about its last state change.
    blockSignals(true);
    Close();
}

void WsConnection::CreateSocket()
{
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    // Qt closes the socket (code 1009) on anything larger, before buffering it.
    m_socket->setMaxAllowedIncomingMessageSize(MaxMessageBytes);
    m_socket->setMaxAllowedIncomingFrameSize(MaxMessageBytes);
    connect(m_socket, &QWebSocket::disconnected, this, &WsConnection::OnDisconnected);
    connect(m_socket, &QWebSocket::stateChanged, this, &WsConnection::OnStateChange);
    connect(m_socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
            &WsConnection::OnError);
    connect(m_socket, &QWebSocket::textMessageReceived, this, &WsConnection::OnMessage);
}

bool WsConnection::IsSocketConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

int WsConnection::ReadInt(int index)
{
    return m_variables.value(index, 0);
}

float WsConnection::ReadFloat(int index)
{
    return std::bit_cast<float>(ReadInt(index));
}

Connection::Result WsConnection::Read(const VarRanges &ranges)
{
    if (!IsSocketConnected())
        return std::unexpected(NotConnected);
    auto *request = new Request(ranges, ChunkLength);
    const VarRange chunk = request->NextChunk();
    connect(request, &QObject::destroyed, this, &WsConnection::RemoveDestroyedRequest);
    SendGetVars(request, chunk);
    return request;
}

Connection::Result WsConnection::Write(const VarRanges &ranges, const QList<Value> &values)
{
    if (!IsSocketConnected())
        return std::unexpected(NotConnected);
    auto *request = new Request(ranges, ChunkLength, QList<Value>(values));
    auto [chunk, chunkValues] = request->NextChunkWithValues();
    connect(request, &QObject::destroyed, this, &WsConnection::RemoveDestroyedRequest);
    SendSetVars(request, chunk, chunkValues);
    return request;
}

int WsConnection::NewTid(Request *request)
{
    // Negative ids never collide with anything the service might echo by
    // mistake for a missing member (0).
    const int tid =
        std::numeric_limits<int>::min() +
        static_cast<int>(QRandomGenerator::global()->bounded(std::numeric_limits<int>::max()));
    m_pending.insert(tid, request);
    return tid;
}

void WsConnection::SendGetVars(Request *request, const VarRange &chunk)
{
    if (chunk.isEmpty()) {
        // Nothing to read: finish once the caller can be listening.
        QTimer::singleShot(0, request, [request] { request->SetFinished(true); });
        return;
    }
    QJsonObject message{{QStringLiteral("verb"), QStringLiteral("get_vars")},
                        {QStringLiteral("use_int"), true},
                        {QStringLiteral("start_index"), chunk.start},
                        {QStringLiteral("length"), chunk.length}};
    message.insert(QStringLiteral("tid"), NewTid(request));
    Send(message);
}

void WsConnection::SendSetVars(Request *request, const VarRange &chunk, const QList<Value> &values)
{
    if (chunk.isEmpty()) {
        QTimer::singleShot(0, request, [request] { request->SetFinished(true); });
        return;
    }
    QJsonArray items;
    for (qsizetype k = 0; k < values.size(); ++k) {
        items.append(
            QJsonObject{{QStringLiteral("key"), static_cast<qint64>(chunk.start + k)},
                        {QStringLiteral("value"), static_cast<qint32>(ValueBits(values.at(k)))}});
    }
    QJsonObject message{{QStringLiteral("verb"), QStringLiteral("set_vars")},
                        {QStringLiteral("is_float"), false},
                        {QStringLiteral("values"), items}};
    message.insert(QStringLiteral("tid"), NewTid(request));
    Send(message);
}

void WsConnection::Send(const QJsonObject &message)
{
    // Between Close() and the next Open() there is no socket; nothing waits
    // for such a send.
    if (!m_socket)
        return;
    m_socket->sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Indented)));
}

void WsConnection::GetDisplay(Display &out)
{
    out.Assign(m_display);
}

void WsConnection::SendKey(int code)
{
    Send(QJsonObject{{QStringLiteral("verb"), QStringLiteral("key")},
                     {QStringLiteral("key"), code}});
    // The service executes in order: a refresh behind the key shows its
    // effect without waiting for the next poll tick.
    if (!IsPolling() || !IsSocketConnected())
        return;
    if (m_refreshTimer.isActive())
        m_refreshAfterKey = true;
    else
        Refresh();
}

bool WsConnection::IsBusy()
{
    return !m_pending.isEmpty() || m_refreshTimer.isActive();
}

bool WsConnection::Open()
{
    if (!m_socket)
        CreateSocket();
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(QStringLiteral("localhost"));
    url.setPort(m_servicePort);
    url.setPath(QStringLiteral("/ws/vrk6/device/%1/").arg(Host()), QUrl::DecodedMode);
    qCDebug(lcWs).noquote() << "opening" << url.toDisplayString();
    m_socket->open(url);
    return true;
}

void WsConnection::Close()
{
    if (!m_socket)
        return;
    QWebSocket *old = m_socket;
    m_socket = nullptr;
    m_refreshTimer.stop();
    m_refreshAfterKey = false;
    qCDebug(lcWs).noquote() << "closing the socket for" << Host();
    old->disconnect(this);
    old->close(QWebSocketProtocol::CloseCodeGoingAway);
    old->deleteLater();
    FailPending(tr("The connection to the relay service was closed."));
    SetState(Disconnected);
}

void WsConnection::FailPending(const QString &message)
{
    // The service can no longer answer: a waiting request would keep the
    // connection busy for good and never tell its caller.
    const QList<Request *> requests = m_pending.values();
    m_pending.clear();
    for (Request *request : requests) {
        QTimer::singleShot(0, request, [request, message] {
            if (request->IsFinished())
                return;
            request->SetErrorString(message);
            request->SetFinished(true);
        });
    }
}

void WsConnection::Refresh()
{
    if (!m_socket)
        return;
    m_refreshTimer.start();
    Send(QJsonObject{{QStringLiteral("verb"), QStringLiteral("refresh")}});
}

QString WsConnection::CloseMessage() const
{
    // A close frame carries the service's reason (a lost machine, for
    // example); Qt's own refusal of an oversized message comes this way too.
    if (!m_socket)
        return {};
    const QWebSocketProtocol::CloseCode code = m_socket->closeCode();
    if (code == QWebSocketProtocol::CloseCodeNormal ||
        code == QWebSocketProtocol::CloseCodeGoingAway)
        return {};
    QString message = m_socket->closeReason();
    if (code == QWebSocketProtocol::CloseCodeTooMuchData)
        message =
            tr("The relay service sent a message larger than %1 KiB.").arg(MaxMessageBytes / 1024);
    return tr("The relay service closed the connection: %1").arg(message);
}

void WsConnection::OnDisconnected()
{
    const QString message = CloseMessage();
    if (message.isEmpty())
        return;
    qCWarning(lcWs).noquote() << Host() << "socket closed with code" << int(m_socket->closeCode())
                              << m_socket->closeReason();
    SetError(QAbstractSocket::RemoteHostClosedError, message);
}

void WsConnection::OnStateChange(QAbstractSocket::SocketState state)
{
    switch (state) {
    case QAbstractSocket::ConnectedState:
        qCDebug(lcWs).noquote() << "connected for" << Host();
        SetState(Connected);
        break;
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        SetState(Connecting);
        break;
    case QAbstractSocket::UnconnectedState:
    case QAbstractSocket::ClosingState:
        m_refreshTimer.stop();
        if (state == QAbstractSocket::UnconnectedState) {
            // The waiting requests fail with the service's reason when it gave one.
            const QString reason = CloseMessage();
            FailPending(reason.isEmpty() ? tr("The connection to the relay service was lost.")
                                         : reason);
        }
        SetState(Disconnected);
        break;
    case QAbstractSocket::BoundState:
    case QAbstractSocket::ListeningState:
        break;
    }
}

void WsConnection::OnError(QAbstractSocket::SocketError error)
{
    SetError(error, m_socket ? m_socket->errorString() : QString());
}

void WsConnection::OnMessage(QString message)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(message.toUtf8(), &error);
    if (document.isNull() || !document.isObject()) {
        qDebug().noquote() << "parse error" << error.errorString();
        return;
    }
    const QJsonObject object = document.object();
    if (!object.contains(QStringLiteral("event")))
        return;
    const QString event = object.value(QStringLiteral("event")).toString();
    if (event == QStringLiteral("refresh") || event == QStringLiteral("refresh_failed")) {
        OnRefreshEvent(object);
        return;
    }
    if (event == QStringLiteral("get_vars_done"))
        OnReadAnswer(object);
    if (event == QStringLiteral("set_vars_done"))
        OnWriteAnswer(object);
}

void WsConnection::OnRefreshEvent(const QJsonObject &message)
{
    m_refreshTimer.stop();
    if (message.value(QStringLiteral("event")).toString() == QStringLiteral("refresh_failed")) {
        // Our own relay says why it could not read the panel.
        const QString reason = message.value(QStringLiteral("message")).toString();
        RefreshFailed(QAbstractSocket::UnknownSocketError,
                      reason.isEmpty() ? tr("The machine did not answer the panel refresh.")
                                       : reason);
    } else {
        const QJsonObject content = message.value(QStringLiteral("content")).toObject();
        m_display.setLine1(content.value(QStringLiteral("line1")).toString());
        m_display.setLine2(content.value(QStringLiteral("line2")).toString());
        m_display.setLine3(content.value(QStringLiteral("line3")).toString());
        m_display.setLine4(content.value(QStringLiteral("line4")).toString());
        m_display.setRunLed(content.value(QStringLiteral("led1")).toBool());
        m_display.setErrorLed(content.value(QStringLiteral("led2")).toBool());
        m_display.setMode1Led(content.value(QStringLiteral("led3")).toBool());
        m_display.setMode2Led(content.value(QStringLiteral("led4")).toBool());
        emit pollingFinished();
    }
    if (std::exchange(m_refreshAfterKey, false))
        Refresh();
}

Request *WsConnection::TakePending(const QJsonObject &message, Request::Type type)
{
    const int tid = message.value(QStringLiteral("tid")).toInt(0);
    const auto it = m_pending.find(tid);
    // An answer of the other kind is not for this request: it keeps waiting.
    if (it == m_pending.end() || it.value()->GetType() != type)
        return nullptr;
    Request *request = it.value();
    m_pending.erase(it);
    return request;
}

void WsConnection::OnReadAnswer(const QJsonObject &message)
{
    Request *request = TakePending(message, Request::Read);
    if (!request)
        return;
    const VarRange chunk = request->CurrentChunk();
    const QJsonArray values = message.value(QStringLiteral("values")).toArray();
    // Extra values belong to variables nobody asked for: they must not
    // overwrite the cache.
    const qsizetype count = std::min<qint64>(values.size(), chunk.length);
    for (qsizetype k = 0; k < count; ++k)
        m_variables.insert(static_cast<int>(chunk.start + k), values.at(k).toInt(0));
    request->AddProgress(chunk.length);
    const VarRange next = request->NextChunk();
    if (next.isEmpty())
        request->SetFinished(true);
    else
        SendGetVars(request, next);
}

void WsConnection::OnWriteAnswer(const QJsonObject &message)
{
    Request *request = TakePending(message, Request::Write);
    if (!request)
        return;
    request->AddProgress(request->CurrentChunk().length);
    auto [next, values] = request->NextChunkWithValues();
    if (next.isEmpty())
        request->SetFinished(true);
    else
        SendSetVars(request, next, values);
}

void WsConnection::RemoveDestroyedRequest(QObject *object)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it.value() == object)
            it = m_pending.erase(it);
        else
            ++it;
    }
}

} // namespace Acpu
