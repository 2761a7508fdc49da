#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <functional>

namespace Mdns {

// Time for the cache and the query schedules, in milliseconds. The system
// clock follows real time; a manual clock moves only when advance() is
// called and then fires the timers that fall due, in order, each at its own
// time, so schedules running for hours can be checked in an instant.
class Clock : public QObject
{
    Q_OBJECT

public:
    enum Mode
    {
        System,
        Manual
    };

    explicit Clock(Mode mode = System, QObject *parent = nullptr);
    ~Clock() override;

    // The shared clock of real time.
    static Clock *system();

    Mode mode() const { return m_mode; }
    qint64 now() const;
    // Manual clocks only: move time forward, firing due timers on the way.
    void advance(qint64 ms);

    // Manual clocks only. A timer registers once, in creation order, which
    // also orders timers due at the same time; a deadline below zero means
    // not running. The clock knows timers only by key, so that it need not
    // know the Timer class.
    void addTimer(const QObject *key, std::function<void()> fire);
    void setDeadline(const QObject *key, qint64 deadline);
    void removeTimer(const QObject *key);

private:
    struct Entry
    {
        const QObject *key;
        qint64 deadline;
        std::function<void()> fire;
    };

    Mode m_mode;
    QElapsedTimer m_elapsed;
    qint64 m_now = 0;
    QList<Entry> m_timers;
};

} // namespace Mdns
