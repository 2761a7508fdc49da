#include "quitonsignal.h"

#include <QCoreApplication>

#include <csignal>
#include <unistd.h>

int QuitOnSignal::s_pipeFds[2] = {-1, -1};

namespace {
int readEnd(int *fds)
{
    if (fds[0] < 0 && ::pipe(fds) != 0)
        return -1;
    return fds[0];
}
} // namespace

QuitOnSignal::QuitOnSignal(std::function<void()> onSignal)
    : m_notifier(readEnd(s_pipeFds), QSocketNotifier::Read)
{
    if (s_pipeFds[1] < 0)
        return;
    for (int sig : {SIGTERM, SIGINT})
        std::signal(sig, [](int) { [[maybe_unused]] auto n = ::write(s_pipeFds[1], "x", 1); });
    QObject::connect(&m_notifier, &QSocketNotifier::activated, qApp,
                     [onSignal = std::move(onSignal)] {
                         char byte;
                         [[maybe_unused]] auto n = ::read(s_pipeFds[0], &byte, 1);
                         if (onSignal)
                             onSignal();
                         else
                             QCoreApplication::quit();
                     });
}
