#include "quitonsignal.h"

#include <QCoreApplication>

#include <csignal>
#include <unistd.h>

int QuitOnSignal::pipeFds[2] = {-1, -1};

namespace {
int ReadEnd(int *fds)
{
    if (fds[0] < 0 && ::pipe(fds) != 0)
        return -1;
    return fds[0];
}
} // namespace

QuitOnSignal::QuitOnSignal() : notifier(ReadEnd(pipeFds), QSocketNotifier::Read)
{
    if (pipeFds[1] < 0)
        return;
    for (int sig : {SIGTERM, SIGINT})
        std::signal(sig, [](int) { [[maybe_unused]] auto n = ::write(pipeFds[1], "x", 1); });
    QObject::connect(&notifier, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
}
