#include "mdns/clock.h"

#include <algorithm>

namespace Mdns {

Clock::Clock(Mode mode, QObject *parent) : QObject(parent), m_mode(mode)
{
    m_elapsed.start();
}

Clock::~Clock() = default;

Clock *Clock::system()
{
    static Clock clock(System);
    return &clock;
}

qint64 Clock::now() const
{
    return m_mode == System ? m_elapsed.elapsed() : m_now;
}

void Clock::advance(qint64 ms)
{
    if (m_mode != Manual)
        return;
    const qint64 target = m_now + ms;
    for (;;) {
        // Timers may start, stop or delete each other while firing: look afresh each time.
        const Entry *next = nullptr;
        for (const Entry &entry : std::as_const(m_timers)) {
            if (entry.deadline >= 0 && entry.deadline <= target &&
                (!next || entry.deadline < next->deadline))
                next = &entry;
        }
        if (!next)
            break;
        m_now = std::max(m_now, next->deadline);
        // The entry may go while it fires: keep what the call needs.
        const std::function<void()> fire = next->fire;
        setDeadline(next->key, -1);
        fire();
    }
    m_now = target;
}

void Clock::addTimer(const QObject *key, std::function<void()> fire)
{
    m_timers.append({key, -1, std::move(fire)});
}

void Clock::setDeadline(const QObject *key, qint64 deadline)
{
    for (Entry &entry : m_timers) {
        if (entry.key == key)
            entry.deadline = deadline;
    }
}

void Clock::removeTimer(const QObject *key)
{
    m_timers.removeIf([key](const Entry &entry) { return entry.key == key; });
}

} // namespace Mdns
