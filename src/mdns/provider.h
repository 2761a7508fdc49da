#pragma once

#include "mdns/message.h"
#include "mdns/service.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace Mdns {

class AbstractServer;

// Announces one service (RFC 6762 section 8.3, RFC 6763): its PTR, SRV and
// TXT records and the addresses of its host, twice one second apart; answers
// queries for them; says goodbye when destroyed. It does not probe for name
// conflicts.
class Provider : public QObject
{
    Q_OBJECT

public:
    explicit Provider(AbstractServer *server, QObject *parent = nullptr);
    ~Provider() override;

    // Announces `service` (again). Its host name stands for `addresses`, or,
    // when none are given, for the addresses of the interfaces that can
    // multicast. A name longer than one label allows is cut.
    void update(const Service &service, const QList<QHostAddress> &addresses = {});

    static constexpr quint32 HostTtl = 120;   // SRV, A, AAAA
    static constexpr quint32 OtherTtl = 4500; // PTR, TXT

private:
    QList<Record> records() const;
    void announce();
    void onMessage(const Message &message);
    // `limited`: leave out what went out less than a second ago (answers;
    // the announcements keep their own schedule).
    void multicast(QList<Record> answers, QList<Record> additionals, bool limited = true);
    void sendGoodbye();

    AbstractServer *m_server;
    Service m_service;
    QList<QHostAddress> m_addresses;
    bool m_active = false;
    QTimer m_announceTimer;
    int m_announcements = 0;
    QElapsedTimer m_elapsed;
    QList<std::pair<Record, qint64>> m_lastMulticast;
};

} // namespace Mdns
