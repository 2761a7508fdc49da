#include "acpu/connection.h"

#include <algorithm>

namespace Acpu {

namespace {
constexpr int PollIntervalMs = 200;
constexpr int StallTicks = 3;
} // namespace

Connection::Connection(QObject *parent) : QObject(parent)
{
    pollTimer.setInterval(PollIntervalMs);
    pollTimer.setSingleShot(false);
    connect(&pollTimer, &QTimer::timeout, this, &Connection::OnPollTimeout);
}

Connection::~Connection()
{
    pollTimer.stop();
}

bool Connection::SetHost(const QString &newHost)
{
    host = newHost;
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
    emit stateChanged(state);
}

void Connection::SetError(int code, const QString &message)
{
    errorCode = code;
    errorString = message;
    emit errorOccurred(code, message);
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
        Close();
        Open();
        emit pollingStalled();
        break;
    case Connected:
        if (IsBusy()) {
            ++stallCount;
            if (stallCount >= StallTicks)
                emit pollingStalled();
        } else {
            stallCount = 0;
            Refresh();
        }
        break;
    }
}

} // namespace Acpu
