#include "acpu/connectguard.h"

#include <QAbstractSocket>
#include <QChildEvent>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
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

// Qt's own wording for the usual failures, so that Qt's translations cover
// them; strerror() speaks the system's language, not the one chosen here.
QString Reason(int error)
{
#ifdef Q_OS_WIN
    constexpr int refused = WSAECONNREFUSED, reset = WSAECONNRESET, timedOut = WSAETIMEDOUT,
                  hostUnreachable = WSAEHOSTUNREACH, netUnreachable = WSAENETUNREACH;
#else
    constexpr int refused = ECONNREFUSED, reset = ECONNRESET, timedOut = ETIMEDOUT,
                  hostUnreachable = EHOSTUNREACH, netUnreachable = ENETUNREACH;
#endif
    const char *text = error == refused           ? "Connection refused"
                       : error == reset           ? "Connection reset by peer"
                       : error == timedOut        ? "Connection timed out"
                       : error == hostUnreachable ? "Host unreachable"
                       : error == netUnreachable  ? "Network unreachable"
                                                  : nullptr;
    if (!text)
        return QString::fromLocal8Bit(std::strerror(error));
    return QCoreApplication::translate("QNativeSocketEngine", text);
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
        emit refused(Reason(error));
    return true;
}

} // namespace Acpu
