#pragma once

#include <QSocketNotifier>

#include <functional>

// Quits the application on SIGTERM or SIGINT, so the tools end through the
// event loop (state written, goodbyes sent), or calls onSignal instead. The
// signal handler only writes to a pipe: nothing else is safe inside a signal
// handler.
class QuitOnSignal
{
public:
    explicit QuitOnSignal(std::function<void()> onSignal = {});

private:
    static int s_pipeFds[2];
    QSocketNotifier m_notifier;
};
