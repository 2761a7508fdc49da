#pragma once

#include "mdns/message.h"
#include "mdns/querier.h"

#include <QHostAddress>
#include <QObject>

namespace Mdns {

class AbstractServer;
class Cache;

// Finds the addresses of a host name such as "m1.local.": first those in the
// cache, then whatever answers to its A and AAAA queries. Each address is
// reported once.
class Resolver : public QObject
{
    Q_OBJECT

public:
    Resolver(AbstractServer *server, const QByteArray &hostName, Cache *cache,
             QObject *parent = nullptr);

signals:
    void resolved(const QHostAddress &address);

private:
    void onMessage(const Message &message);
    void report(const Record &record);

    Cache *m_cache;
    Name m_host;
    Querier m_querier;
    QList<QHostAddress> m_reported;
};

} // namespace Mdns
