#pragma once

// libFuzzer gives the event-driven targets no application; queued work runs per input.
#include <QCoreApplication>
#include <QDeadlineTimer>

struct FuzzApplication
{
    int argc = 1;
    char name[5] = "fuzz";
    char *argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
};

template <typename Done> void RunUntil(Done done, int ms = 2000)
{
    for (const QDeadlineTimer deadline(ms); !done() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

inline void RunQueuedWork()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
