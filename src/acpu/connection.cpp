#include "acpu/connection.h"

#include "acpu/logging.h"

#include <algorithm>

namespace Acpu {

namespace {
constexpr int PollIntervalMs = 200;
constexpr int StallTicks = 3;
} // namespace

Connection::Connection(QObject *parent) : QObject(parent), logCategory(lcModbus)
{
    pollTimer.setInterval(PollIntervalMs);
    pollTimer.setSingleShot(false);
    connect(&pollTimer, &QTimer::timeout, this, &Connection::OnPollTimeout);
    connectTimer.setSingleShot(true);
    connectTimer.setInterval(ConnectTimeoutMs);
    connect(&connectTimer, &QTimer::timeout, this, &Connection::OnConnectTimeout);
    connect(this, &Connection::pollingFinished, this, &Connection::OnRefreshSucceeded);
}

Connection::~Connection()
{
    pollTimer.stop();
}

bool Connection::SetHost(const QString &newHost)
{
    host = newHost;
    // A new target deserves a prompt first attempt.
    reconnectDelayMs = FirstReconnectDelayMs;
    sinceReconnect.invalidate();
    Close();
    return Open();
}

void Connection::StartPolling()
{
    polling = true;
    pollTimer.start();
}

void Connection::StopPolling()
{
    polling = false;
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
    if (state == newState)
        return;
    state = newState;
    // Every attempt gets the same time, however the transport retries inside it.
    if (state == Connecting)
        connectTimer.start();
    else
        connectTimer.stop();
    if (state == Connected)
        stallCount = 0;
    emit stateChanged(state);
}

void Connection::SetError(int code, const QString &message)
{
    errorCode = code;
    errorString = message;
    emit errorOccurred(code, message);
}

void Connection::RefreshFailed(int code, const QString &message)
{
    // Every poll tick would repeat it while the machine stays silent.
    if (refreshFailing && message == errorString)
        return;
    refreshFailing = true;
    qCWarning(logCategory).noquote() << Host() << "panel refresh failed:" << message;
    SetError(code, message);
}

void Connection::OnRefreshSucceeded()
{
    stallCount = 0;
    refreshFailing = false;
    reconnectDelayMs = FirstReconnectDelayMs;
    sinceReconnect.invalidate();
}

void Connection::OnConnectTimeout()
{
    if (state != Connecting)
        return;
    qCWarning(logCategory).noquote() << Host() << "connection attempt timed out";
    Close();
    SetError(
        TimeoutErrorCode,
        tr("The machine did not accept the connection within %1 s.").arg(ConnectTimeoutMs / 1000));
}

void Connection::Reconnect()
{
    // Whatever the peer does (refuse, reset, accept and drop), the attempts
    // thin out until one of them brings a working panel again.
    if (sinceReconnect.isValid() && sinceReconnect.elapsed() < reconnectDelayMs)
        return;
    if (sinceReconnect.isValid())
        reconnectDelayMs = std::min(2 * reconnectDelayMs, MaxReconnectDelayMs);
    qCDebug(logCategory).noquote()
        << Host() << "reconnecting; back-off" << reconnectDelayMs << "ms";
    sinceReconnect.start();
    Close();
    Open();
}

void Connection::AddPollRanges(const VarRanges &ranges)
{
    pollRanges = NormalizeRanges(pollRanges + ranges);
}

void Connection::OnPollTimeout()
{
    switch (state) {
    case Offline:
        pollTimer.stop();
        break;
    case Connecting:
        emit pollingStalled();
        break;
    case Disconnected:
        if (!polling) {
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
