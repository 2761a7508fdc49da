#include "fleet.h"

#include <QTimer>

Fleet::Fleet(qsizetype count, int maxInFlight, Start start, QObject *parent)
    : QObject(parent), m_count(count), m_maxInFlight(maxInFlight), m_start(std::move(start))
{
}

void Fleet::run()
{
    if (m_count == 0) {
        QTimer::singleShot(0, this, &Fleet::finished);
        return;
    }
    while (m_running < m_maxInFlight && m_next < m_count)
        startNext();
}

qsizetype Fleet::stop()
{
    // finished() comes from the last running work's end, as without a stop.
    m_count = m_next;
    return m_next;
}

void Fleet::startNext()
{
    ++m_running;
    const qsizetype index = m_next++;
    auto once = std::make_shared<bool>(false);
    m_start(index, [this, once] {
        if (std::exchange(*once, true))
            return;
        // Not from inside the work's own call chain: it may still be unwinding.
        QTimer::singleShot(0, this, [this] {
            --m_running;
            if (m_next < m_count)
                startNext();
            else if (m_running == 0)
                emit finished();
        });
    });
}
