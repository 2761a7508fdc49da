#include "mdns/clock.h"

#include "mdns/timer.h"

namespace Mdns {

Clock::Clock(Mode mode, QObject *parent) : QObject(parent), m_mode(mode)
{
    m_elapsed.start();
}

Clock::~Clock()
{
    for (Timer *timer : std::as_const(m_timers))
        timer->m_clock = nullptr;
}

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
        Timer *next = nullptr;
        for (Timer *timer : std::as_const(m_timers)) {
            if (timer->isActive() && timer->deadline() <= target &&
                (!next || timer->deadline() < next->deadline()))
                next = timer;
        }
        if (!next)
            break;
        m_now = std::max(m_now, next->deadline());
        next->m_deadline = -1;
        emit next->timeout();
    }
    m_now = target;
}

void Clock::addTimer(Timer *timer)
{
    m_timers.append(timer);
}

void Clock::removeTimer(Timer *timer)
{
    m_timers.removeOne(timer);
}

} // namespace Mdns
