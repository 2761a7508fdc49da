#include "acpu/modbusconnection.h"

#include "acpu/connectguard.h"
#include "acpu/hostport.h"
#include "acpu/logging.h"
#include "acpu/panelmap.h"

#include <QModbusReply>
#include <QModbusTcpClient>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <bit>

namespace Acpu {

namespace {
constexpr int RegistersPerVariable = 2;
constexpr int RegisterSpace = 65536;
constexpr int WatchdogTickMs = 100;
} // namespace

ModbusConnection::ModbusConnection(QObject *parent)
    : Connection(parent), m_registers(RegisterSpace, 0)
{
    m_clock.start();
    SetLogCategory(lcModbus);
    m_watchdog.setInterval(WatchdogTickMs);
    connect(&m_watchdog, &QTimer::timeout, this, &ModbusConnection::OnWatchdogTick);
    AddPollRanges(PanelMap::DisplayRanges());
    AddPollRanges({VarRange{PanelMap::LampVariable, 1}});
    CreateClient();
}

ModbusConnection::~ModbusConnection()
{
    // A dying connection tells nobody about its last state change; requests
    // still in flight fail on the next turn of the event loop.
    blockSignals(true);
    Close();
}

void ModbusConnection::CreateClient()
{
    m_client = new QModbusTcpClient(this);
    m_client->setConnectionParameter(QModbusDevice::NetworkPortParameter, DefaultPort);
    connect(m_client, &QModbusDevice::errorOccurred, this, &ModbusConnection::OnModbusError);
    connect(m_client, &QModbusDevice::stateChanged, this, &ModbusConnection::OnStateChanged);
    if (auto *socket = m_client->findChild<QTcpSocket *>()) {
        auto *guard = new ConnectGuard(socket);
        connect(guard, &ConnectGuard::refused, this,
                [this, attempt = QPointer(m_client)](const QString &reason) {
                    // Not from inside the socket's own event handling.
                    QTimer::singleShot(0, this, [this, attempt, reason] {
                        if (!attempt || attempt != m_client)
                            return;
                        qCWarning(lcModbus).noquote()
                            << Host() << "connection attempt failed:" << reason;
                        Close();
                        SetError(QModbusDevice::ConnectionError,
                                 tr("The machine refused the connection: %1").arg(reason));
                    });
                });
    }
}

int ModbusConnection::ReadInt(int index)
{
    if (index < 0 || index > LastVariable)
        return 0;
    const quint32 low = m_registers[RegistersPerVariable * index];
    const quint32 high = m_registers[RegistersPerVariable * index + 1];
    return static_cast<int>((high << 16) | low);
}

float ModbusConnection::ReadFloat(int index)
{
    return std::bit_cast<float>(ReadInt(index));
}

Connection::Result ModbusConnection::Read(const VarRanges &ranges)
{
    if (!m_client || m_client->state() != QModbusDevice::ConnectedState)
        return std::unexpected(NotConnected);
    auto *request = new Request(ranges, ChunkLength);
    connect(request, &QObject::destroyed, this, &ModbusConnection::RemoveDestroyedRequest);
    SendChunk(request, request->NextChunk(), {}, true);
    return request;
}

Connection::Result ModbusConnection::Write(const VarRanges &ranges, const QList<Value> &values)
{
    if (!m_client || m_client->state() != QModbusDevice::ConnectedState)
        return std::unexpected(NotConnected);
    auto *request = new Request(ranges, ChunkLength, QList<Value>(values));
    connect(request, &QObject::destroyed, this, &ModbusConnection::RemoveDestroyedRequest);
    auto [chunk, chunkValues] = request->NextChunkWithValues();
    SendChunk(request, chunk, chunkValues, true);
    return request;
}

void ModbusConnection::SendChunk(Request *request, const VarRange &chunk,
                                 const QList<Value> &values, bool first)
{
    // The first chunk is sent from inside Read/Write, before the caller can
    // connect to finished(): any outcome known at once must wait a turn.
    if (chunk.isEmpty()) {
        // Nothing to transfer at all: finish once the caller is listening.
        QTimer::singleShot(0, request, [request] { request->SetFinished(true); });
        return;
    }
    if (chunk.start < 0 || chunk.last() > LastVariable) {
        // Addresses would wrap around and touch other variables.
        FailRequest(request,
                    tr("Variables %1 to %2 are beyond the Modbus address range.")
                        .arg(chunk.start)
                        .arg(chunk.last()),
                    first);
        return;
    }
    QModbusReply *reply = nullptr;
    if (m_client) {
        if (request->GetType() == Request::Read) {
            const QModbusDataUnit unit(QModbusDataUnit::HoldingRegisters,
                                       RegistersPerVariable * chunk.start,
                                       static_cast<quint16>(RegistersPerVariable * chunk.length));
            reply = m_client->sendReadRequest(unit, ServerAddress);
        } else {
            QList<quint16> words;
            words.reserve(values.size() * RegistersPerVariable);
            for (const Value &value : values) {
                const quint32 bits = ValueBits(value);
                words.append(static_cast<quint16>(bits & 0xFFFF));
                words.append(static_cast<quint16>(bits >> 16));
            }
            const QModbusDataUnit unit(QModbusDataUnit::HoldingRegisters,
                                       RegistersPerVariable * chunk.start, words);
            reply = m_client->sendWriteRequest(unit, ServerAddress);
        }
    }
    if (!reply) {
        FailRequest(request, ClientErrorText(), first);
        return;
    }
    // Qt's socket would send the frame on the next event-loop turn; push it
    // out now, as the chunks of a bulk read follow each other closely.
    if (QTcpSocket *socket = m_client->findChild<QTcpSocket *>())
        socket->flush();
    if (reply->isFinished()) {
        // Answered (or refused) before we could listen: handle it now, but
        // never inside Read/Write.
        if (first) {
            QTimer::singleShot(
                0, request, [self = QPointer(this), guard = QPointer(reply), request] {
                    if (self && guard)
                        self->CompleteReply(guard, request);
                    else
                        FailRequest(request, tr("The connection to the machine was closed."),
                                    false);
                });
        } else {
            CompleteReply(reply, request);
        }
        return;
    }
    Register(reply, request);
}

void ModbusConnection::Register(QModbusReply *reply, Request *request)
{
    m_pending.insert(reply, request);
    connect(reply, &QModbusReply::finished, this, &ModbusConnection::OnReplyFinished);
    connect(reply, &QObject::destroyed, this, &ModbusConnection::RemoveDestroyedReply);
    // The client stops its own time-out once a reply header has arrived; a
    // peer that sends half a frame would otherwise keep the request forever.
    m_deadlines.insert(reply,
                       m_clock.elapsed() + WatchdogMs - ResponseTimeoutMs + m_responseTimeoutMs);
    if (!m_watchdog.isActive())
        m_watchdog.start();
}

void ModbusConnection::OnReplyFinished()
{
    auto *reply = qobject_cast<QModbusReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    m_deadlines.remove(reply);
    Request *request = m_pending.take(reply);
    if (!request)
        return;
    CompleteReply(reply, request);
}

void ModbusConnection::CompleteReply(QModbusReply *reply, Request *request)
{
    reply->deleteLater();
    m_silent = reply->error() == QModbusDevice::TimeoutError;
    if (reply->error() == QModbusDevice::TimeoutError && request->GetType() == Request::Read &&
        !m_retried.contains(request)) {
        // A read changes nothing on the machine, and a busy workstation can
        // miss the short time-out by a hair: ask for the chunk once more.
        // Writes are never repeated (see Open).
        qCDebug(lcModbus).noquote() << Host() << "read timed out; asking once more";
        m_retried.insert(request);
        SendChunk(request, request->CurrentChunk(), {}, false);
        return;
    }
    if (reply->error() != QModbusDevice::NoError) {
        QString message = reply->errorString();
        if (message.isEmpty())
            message = ClientErrorText();
        qCDebug(lcModbus).noquote() << Host() << "reply error" << reply->error() << message;
        m_lastFailure = reply->error();
        request->SetErrorString(message);
        request->SetFinished(true);
        return;
    }
    if (!AnswersChunk(*reply, *request)) {
        const QModbusResponse raw = reply->rawResult();
        qCWarning(lcModbus).noquote()
            << Host() << "rejected an answer: function" << raw.functionCode() << "data"
            << raw.data().left(8).toHex(' ') << "for" << request->CurrentChunk().start << "+"
            << request->CurrentChunk().length << "variables";
        m_lastFailure = QModbusDevice::ProtocolError;
        FailRequest(request, tr("The machine answered a different request."), false);
        return;
    }
    const QModbusDataUnit unit = reply->result();
    const VarRange chunk = request->CurrentChunk();
    if (request->GetType() == Request::Read) {
        const QList<quint16> words = unit.values();
        std::copy(words.cbegin(), words.cend(), m_registers.begin() + unit.startAddress());
        request->AddProgress(unit.valueCount() / RegistersPerVariable);
        m_retried.remove(request);
        const VarRange next = request->NextChunk();
        if (next.isEmpty())
            request->SetFinished(true);
        else
            SendChunk(request, next, {}, false);
    } else {
        request->AddProgress(chunk.length);
        auto [next, values] = request->NextChunkWithValues();
        if (next.isEmpty())
            request->SetFinished(true);
        else
            SendChunk(request, next, values, false);
    }
}

bool ModbusConnection::AnswersChunk(const QModbusReply &reply, const Request &request)
{
    // Qt decodes an answer by the function code it carries, so an echo of a
    // write would pass for a read of nothing: compare it with the request.
    const QModbusResponse raw = reply.rawResult();
    const VarRange chunk = request.CurrentChunk();
    const int address = RegistersPerVariable * chunk.start;
    const qint64 count = RegistersPerVariable * chunk.length;
    if (request.GetType() == Request::Read) {
        const QModbusDataUnit unit = reply.result();
        return raw.functionCode() == QModbusPdu::ReadHoldingRegisters &&
               unit.startAddress() == address && unit.valueCount() == count &&
               unit.values().size() == count;
    }
    if (raw.functionCode() != QModbusPdu::WriteMultipleRegisters || raw.dataSize() != 4)
        return false;
    quint16 ackAddress = 0;
    quint16 ackCount = 0;
    raw.decodeData(&ackAddress, &ackCount);
    return ackAddress == address && ackCount == count;
}

void ModbusConnection::FailRequest(Request *request, const QString &message, bool deferred)
{
    const QString text = message.isEmpty() ? tr("The request could not be sent.") : message;
    if (deferred) {
        QTimer::singleShot(0, request, [request, text] {
            request->SetErrorString(text);
            request->SetFinished(true);
        });
        return;
    }
    request->SetErrorString(text);
    request->SetFinished(true);
}

void ModbusConnection::OnWatchdogTick()
{
    if (m_deadlines.isEmpty()) {
        m_watchdog.stop();
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (std::none_of(m_deadlines.cbegin(), m_deadlines.cend(),
                     [now](qint64 deadline) { return deadline <= now; }))
        return;
    // The transport is in an unknown state: fail what waits on it and drop
    // it; the poll timer reopens it.
    qCWarning(lcModbus).noquote() << Host() << "watchdog: a reply stayed incomplete; dropping"
                                  << "the connection";
    FailPending(tr("The machine did not complete its response."), QModbusDevice::TimeoutError);
    Close();
}

void ModbusConnection::FailPending(const QString &message, QModbusDevice::Error code)
{
    if (!m_pending.isEmpty())
        m_lastFailure = code;
    m_deadlines.clear();
    m_watchdog.stop();
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        QObject *reply = it.key();
        Request *request = it.value();
        it = m_pending.erase(it);
        reply->disconnect(this);
        FailRequest(request, message, true);
    }
}

QString ModbusConnection::ClientErrorText() const
{
    if (m_client && !m_client->errorString().isEmpty())
        return m_client->errorString();
    return tr("Not connected to the machine.");
}

void ModbusConnection::GetDisplay(Display &out)
{
    out.setLine1(DecodeLine(PanelMap::Line1));
    out.setLine2(DecodeLine(PanelMap::Line2));
    out.setLine3(DecodeLine(PanelMap::Line3));
    out.setLine4(DecodeLine(PanelMap::Line4));
    const int lamps = ReadInt(PanelMap::LampVariable);
    out.setErrorLed(lamps & PanelMap::ErrorLedBit);
    out.setRunLed(lamps & PanelMap::RunLedBit);
    out.setMode1Led(lamps & PanelMap::Mode1LedBit);
    out.setMode2Led(lamps & PanelMap::Mode2LedBit);
}

QString ModbusConnection::DecodeLine(int firstVariable) const
{
    QString line;
    line.reserve(PanelMap::LineChars);
    for (int k = 0; k < PanelMap::LineChars; ++k) {
        const quint16 word = m_registers[RegistersPerVariable * firstVariable + k / 2];
        const quint8 byte = (k % 2 == 0) ? (word & 0xFF) : (word >> 8);
        line.append(PanelMap::DecodeByte(byte));
    }
    return line;
}

void ModbusConnection::SendKey(int code)
{
    if (m_silent) {
        qCDebug(lcModbus).noquote() << Host() << "key" << code << "not sent: no answer";
        return;
    }
    // Fire and forget: the request deletes itself when done.
    auto result = Write({VarRange{PanelMap::KeyVariable, 2}}, {Value{code}, Value{1}});
    if (result)
        connect(*result, &Request::finished, this,
                [this, request = *result] { OnKeyFinished(request); });
}

void ModbusConnection::OnKeyFinished(Request *request)
{
    // Show the key's effect now rather than at the next poll tick, but only
    // while polling: nobody else looks at the panel.
    if (!request->ErrorString().isEmpty() || !IsPolling())
        return;
    if (m_refreshParts > 0)
        m_refreshAfterKey = true;
    else
        Refresh();
}

bool ModbusConnection::IsBusy()
{
    return !m_pending.isEmpty();
}

void ModbusConnection::SetResponseTimeout(int ms)
{
    m_responseTimeoutMs = ms;
    if (m_client)
        m_client->setTimeout(ms);
}

bool ModbusConnection::Open()
{
    if (!m_client)
        CreateClient();
    // Qt's client joins address and port into a URL, so IPv6 needs brackets.
    const auto target = ParseHostPort(Host(), DefaultPort);
    m_client->setConnectionParameter(QModbusDevice::NetworkAddressParameter,
                                     target ? target->urlHost() : Host());
    m_client->setConnectionParameter(QModbusDevice::NetworkPortParameter,
                                     target ? target->port : DefaultPort);
    m_client->setTimeout(m_responseTimeoutMs);
    // A timed-out frame must never be sent again: the machine may have acted
    // on it already (a key press, a parameter write).
    m_client->setNumberOfRetries(0);
    qCDebug(lcModbus).noquote() << "opening" << Host();
    const bool started = m_client->connectDevice();
    if (!started) {
        qCWarning(lcModbus).noquote() << Host() << "cannot connect:" << m_client->errorString();
        SetError(m_client->error(), m_client->errorString());
    }
    return started;
}

void ModbusConnection::Close()
{
    if (!m_client)
        return;
    QModbusTcpClient *old = m_client;
    m_client = nullptr;
    m_silent = false;
    qCDebug(lcModbus).noquote() << "closing" << Host();
    old->disconnectDevice();
    // Replies of the old client die with it; their requests fail first.
    FailPending(tr("The connection to the machine was closed."), QModbusDevice::ReplyAbortedError);
    old->disconnect(this);
    old->deleteLater();
    SetState(Disconnected);
}

void ModbusConnection::Refresh()
{
    if (m_refreshParts > 0)
        return;
    // The lamp word and the text in one request, one chunk after the other:
    // a machine answers one request at a time, so a second one in flight
    // together waits its turn there and times out once an answer takes more
    // than half the time-out; the panel then never showed.
    m_refreshError.clear();
    auto result = Read(PollRanges());
    if (!result)
        return;
    ++m_refreshParts;
    connect(*result, &Request::finished, this,
            [this, request = *result] { OnRefreshPartFinished(request); });
}

void ModbusConnection::OnRefreshPartFinished(Request *request)
{
    if (m_refreshError.isEmpty())
        m_refreshError = request->ErrorString();
    if (--m_refreshParts > 0)
        return;
    if (!m_refreshError.isEmpty()) {
        // A refresh cut short by our own Close is no news to anybody.
        if (State() == Connected)
            RefreshFailed(m_lastFailure, m_refreshError);
        return;
    }
    emit pollingFinished();
    if (std::exchange(m_refreshAfterKey, false))
        Refresh();
}

void ModbusConnection::OnStateChanged(QModbusDevice::State state)
{
    switch (state) {
    case QModbusDevice::UnconnectedState:
    case QModbusDevice::ClosingState:
        SetState(Disconnected);
        break;
    case QModbusDevice::ConnectingState:
        SetState(Connecting);
        break;
    case QModbusDevice::ConnectedState:
        qCDebug(lcModbus).noquote() << "connected to" << Host();
        SetState(Connected);
        break;
    }
}

void ModbusConnection::OnModbusError(QModbusDevice::Error error)
{
    if (error == QModbusDevice::NoError)
        return;
    SetError(error, m_client ? m_client->errorString() : QString());
}

void ModbusConnection::RemoveDestroyedRequest(QObject *object)
{
    m_retried.remove(object);
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it.value() == object)
            it = m_pending.erase(it);
        else
            ++it;
    }
}

void ModbusConnection::RemoveDestroyedReply(QObject *object)
{
    // A reply destroyed while still pending never answered: its request
    // must not wait forever.
    m_deadlines.remove(object);
    const auto it = m_pending.find(object);
    if (it == m_pending.end())
        return;
    Request *request = it.value();
    m_pending.erase(it);
    FailRequest(request, tr("The connection to the machine was closed."), true);
}

} // namespace Acpu
