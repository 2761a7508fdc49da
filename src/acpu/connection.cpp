#include "acpu/connection.h"

#include "acpu/logging.h"

#include <algorithm>

namespace Acpu {

namespace {
constexpr int PollIntervalMs = 200;
constexpr int StallTicks = 3;
} // namespace

Connection::Connection(QObject *parent) : QObject(parent), m_logCategory(lcModbus)
{
    pollTimer.setInterval(PollIntervalMs);
    pollTimer.setSingleShot(false);
    connect(&pollTimer, &QTimer::timeout, this, &Connection::OnPollTimeout);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &Connection::OnConnectTimeout);
    connect(this, &Connection::pollingFinished, this, &Connection::OnRefreshSucceeded);
}

Connection::~Connection()
{
    pollTimer.stop();
}

bool Connection::SetHost(const QString &newHost)
{
    m_host = newHost;
    // A new target deserves a prompt first attempt.
    m_reconnectDelayMs = FirstReconnectDelayMs;
    m_sinceReconnect.invalidate();
    Close();
    return Open();
}

void Connection::StartPolling()
{
    m_polling = true;
    pollTimer.start();
}

void Connection::StopPolling()
{
    m_polling = false;
    pollTimer.stop();
}

Connection::Result Connection::WriteInt(int index, int value)
{
    return Write({VarRange{index, 1}}, {Value{value}});
}

Connection::Result Connection::WriteFloat(int index, float value)
{
    return Write({VarRange{index, 1}}, {Value{value}});
}

Connection::Result Connection::WriteValues(const QList<std::pair<int, float>> &items)
{
    QList<std::pair<int, float>> sorted = items;
    std::sort(sorted.begin(), sorted.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    VarRanges ranges;
    QList<Value> values;
    ranges.reserve(sorted.size());
    values.reserve(sorted.size());
    for (const auto &[index, value] : sorted) {
        ranges.append(VarRange{index, 1});
        values.append(Value{value});
    }
    return Write(NormalizeRanges(ranges), values);
}

void Connection::SetState(ConnectionState newState)
{
    if (m_state == newState)
        return;
    m_state = newState;
    // Every attempt gets the same time, however the transport retries inside it.
    if (m_state == Connecting)
        m_connectTimer.start();
    else
        m_connectTimer.stop();
    if (m_state == Connected)
        stallCount = 0;
    emit stateChanged(m_state);
}

void Connection::SetError(int code, const QString &message)
{
    m_errorCode = code;
    m_errorString = message;
    emit errorOccurred(code, message);
}

void Connection::RefreshFailed(int code, const QString &message)
{
    // Every poll tick would repeat it while the machine stays silent.
    if (m_refreshFailing && message == m_errorString)
        return;
    m_refreshFailing = true;
    qCWarning(m_logCategory).noquote() << Host() << "panel refresh failed:" << message;
    SetError(code, message);
}

void Connection::OnRefreshSucceeded()
{
    stallCount = 0;
    m_refreshFailing = false;
    m_reconnectDelayMs = FirstReconnectDelayMs;
    m_sinceReconnect.invalidate();
}

void Connection::OnConnectTimeout()
{
    if (m_state != Connecting)
        return;
    qCWarning(m_logCategory).noquote() << Host() << "connection attempt timed out";
    Close();
    SetError(
        TimeoutErrorCode,
        tr("The machine did not accept the connection within %1 s.").arg(ConnectTimeoutMs / 1000));
}

void Connection::Reconnect()
{
    // Whatever the peer does (refuse, reset, accept and drop), the attempts
    // thin out until one of them brings a working panel again.
    if (m_sinceReconnect.isValid() && m_sinceReconnect.elapsed() < m_reconnectDelayMs)
        return;
    if (m_sinceReconnect.isValid())
        m_reconnectDelayMs = std::min(2 * m_reconnectDelayMs, MaxReconnectDelayMs);
    qCDebug(m_logCategory).noquote()
        << Host() << "reconnecting; back-off" << m_reconnectDelayMs << "ms";
    m_sinceReconnect.start();
    Close();
    Open();
}

void Connection::AddPollRanges(const VarRanges &ranges)
{
    m_pollRanges = NormalizeRanges(m_pollRanges + ranges);
}

void Connection::OnPollTimeout()
{
    switch (m_state) {
    case Offline:
        pollTimer.stop();
        break;
    case Connecting:
        emit pollingStalled();
        break;
    case Disconnected:
        if (!m_polling) {
            pollTimer.stop();
            break;
        }
        Reconnect();
        emit pollingStalled();
        break;
    case Connected:
        // Counts ticks since the last successful refresh, not busy ticks: a
        // refresh that fails within one interval leaves the next tick idle,
        // and the panel is stale all the same.
        ++stallCount;
        if (stallCount >= StallTicks)
            emit pollingStalled();
        if (!IsBusy())
            Refresh();
        break;
    }
}

} // namespace Acpu
