#pragma once

#include <QObject>

class QAbstractSocket;

namespace Acpu {

// Qt's socket does not notice a connection that the peer resets while it is
// being made: it connects again at once, endlessly, still "connecting". This
// watches the socket's readiness while it connects, reports such a failed
// attempt with refused() and keeps the socket from trying again by itself.
class ConnectGuard : public QObject
{
    Q_OBJECT
public:
    // Watches `socket` and everything it creates from now on.
    explicit ConnectGuard(QAbstractSocket *socket);

signals:
    void refused(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractSocket *m_socket;
    bool m_tripped = false;
};

} // namespace Acpu
