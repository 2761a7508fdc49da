#include "acpu/connectguard.h"

#include <QAbstractSocket>
#include <QChildEvent>
#include <QSocketNotifier>

#include <cstring>
#include <utility>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace Acpu {

namespace {
// The pending error of a socket whose connect has completed one way or the other.
int PendingError(qintptr descriptor)
{
    int error = 0;
#ifdef Q_OS_WIN
    int size = sizeof error;
    if (getsockopt(SOCKET(descriptor), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error),
                   &size) != 0)
        return 0;
#else
    socklen_t size = sizeof error;
    if (getsockopt(int(descriptor), SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return 0;
#endif
    return error;
}
} // namespace

ConnectGuard::ConnectGuard(QAbstractSocket *socket) : QObject(socket), m_socket(socket)
{
    socket->installEventFilter(this);
    for (QObject *child : socket->findChildren<QObject *>())
        child->installEventFilter(this);
}

bool ConnectGuard::eventFilter(QObject *watched, QEvent *event)
{
    // The socket's engine and its notifiers are made as it goes.
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child != this)
            child->installEventFilter(this);
        return false;
    }
    if (event->type() != QEvent::SockAct || m_socket->state() != QAbstractSocket::ConnectingState)
        return false;
    auto *notifier = qobject_cast<QSocketNotifier *>(watched);
    if (!notifier || notifier->type() != QSocketNotifier::Write)
        return false;
    const int error = PendingError(notifier->socket());
    if (error == 0 && !m_tripped)
        return false;
    // Left enabled, the notifier would fire again at once; the owner drops
    // the socket on refused().
    notifier->setEnabled(false);
    if (!std::exchange(m_tripped, true))
        emit refused(QString::fromLocal8Bit(std::strerror(error)));
    return true;
}

} // namespace Acpu
