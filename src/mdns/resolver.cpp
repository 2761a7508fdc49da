#include "mdns/resolver.h"

#include "mdns/abstractserver.h"
#include "mdns/cache.h"

namespace Mdns {

Resolver::Resolver(AbstractServer *server, const QByteArray &hostName, Cache *cache,
                   QObject *parent)
    : QObject(parent), m_cache(cache), m_host(Name::fromDotted(hostName)),
      m_querier(server, cache,
                {Question{Name::fromDotted(hostName), A, ClassIn, false},
                 Question{Name::fromDotted(hostName), AAAA, ClassIn, false}})
{
    connect(server, &AbstractServer::messageReceived, this, &Resolver::onMessage);
    connect(cache, &Cache::recordAdded, this, &Resolver::report);
    // Cached addresses after the caller has connected to resolved().
    QMetaObject::invokeMethod(
        this,
        [this] {
            for (const Record &record : m_cache->lookupRecords(m_host, ANY))
                report(record);
        },
        Qt::QueuedConnection);
}

void Resolver::onMessage(const Message &message)
{
    if (!message.response)
        return;
    for (const Record &record : message.answers + message.additionals) {
        if ((record.type == A || record.type == AAAA) && record.name == m_host)
            m_cache->addRecord(record);
    }
}

void Resolver::report(const Record &record)
{
    if ((record.type != A && record.type != AAAA) || !(record.name == m_host) ||
        m_reported.contains(record.address))
        return;
    m_reported.append(record.address);
    emit resolved(record.address);
}

} // namespace Mdns
