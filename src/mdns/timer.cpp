#include "mdns/timer.h"

namespace Mdns {

Timer::Timer(Clock *clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    auto fire = [this] {
        m_deadline = -1;
        emit timeout();
    };
    connect(&m_timer, &QTimer::timeout, this, fire);
    if (m_clock->mode() == Clock::Manual)
        m_clock->addTimer(this, fire);
}

Timer::~Timer()
{
    if (m_clock && m_clock->mode() == Clock::Manual)
        m_clock->removeTimer(this);
}

void Timer::startAt(qint64 deadline)
{
    if (!m_clock)
        return;
    m_deadline = std::max<qint64>(deadline, 0);
    if (m_clock->mode() == Clock::Manual) {
        m_clock->setDeadline(this, m_deadline);
    } else {
        // QTimer takes an int; a day is far beyond any deadline used here.
        const qint64 delay = std::clamp<qint64>(m_deadline - m_clock->now(), 0, 86'400'000);
        m_timer.start(int(delay));
    }
}

void Timer::start(qint64 delay)
{
    if (m_clock)
        startAt(m_clock->now() + delay);
}

void Timer::stop()
{
    m_deadline = -1;
    m_timer.stop();
    if (m_clock && m_clock->mode() == Clock::Manual)
        m_clock->setDeadline(this, -1);
}

} // namespace Mdns
