#pragma once

#include "mdns/clock.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace Mdns {

// A one-shot timer on a Clock: a QTimer on the system clock, fired by
// Clock::advance() on a manual one.
class Timer : public QObject
{
    Q_OBJECT

public:
    explicit Timer(Clock *clock, QObject *parent = nullptr);
    ~Timer() override;

    // Fires once `deadline` (clock time in ms) is reached.
    void startAt(qint64 deadline);
    void start(qint64 delay);
    void stop();
    bool isActive() const { return m_deadline >= 0; }
    qint64 deadline() const { return m_deadline; }

signals:
    void timeout();

private:
    QPointer<Clock> m_clock;
    QTimer m_timer;
    qint64 m_deadline = -1;
};

} // namespace Mdns
