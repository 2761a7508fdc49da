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

inline QString FuzzText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

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
