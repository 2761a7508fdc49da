#include "mdns/browser.h"

#include "mdns/abstractserver.h"
#include "mdns/cache.h"
#include "mdns/clock.h"

#include <QSet>

namespace Mdns {

namespace {

// Missing SRV or TXT records of one instance are asked for at most this often.
constexpr qint64 AskIntervalMs = 1000;

} // namespace

Browser::Browser(AbstractServer *server, const QByteArray &type, Cache *cache, QObject *parent)
    : QObject(parent), m_server(server), m_cache(cache), m_type(Name::fromDotted(type)),
      m_querier(server, cache, {Question{Name::fromDotted(type), PTR, ClassIn, false}})
{
    qRegisterMetaType<Mdns::Service>();
    connect(server, &AbstractServer::messageReceived, this, &Browser::onMessage);
    connect(cache, &Cache::recordAdded, this, &Browser::onRecord);
    connect(cache, &Cache::recordExpired, this, &Browser::onRecord);
    connect(cache, &Cache::shouldQuery, this, &Browser::onShouldQuery);
    // Another browser may have filled a shared cache already.
    for (const Record &ptr : cache->lookupRecords(m_type, PTR)) {
        if (isInstance(ptr.target))
            markDirty(ptr.target);
    }
}

bool Browser::isInstance(const Name &name) const
{
    // Some responders send an instance name that contains dots as several
    // labels ("ZUM.B1 line 3" as "ZUM" and "B1 line 3"): take any number.
    const qsizetype extra = name.labels().size() - m_type.labels().size();
    return extra >= 1 && Name(name.labels().mid(extra)) == m_type;
}

QByteArray Browser::instanceName(const Name &instance) const
{
    const qsizetype extra = instance.labels().size() - m_type.labels().size();
    return instance.labels().mid(0, extra).join('.');
}

bool Browser::hasPointer(const Name &instance) const
{
    const QList<Record> pointers = m_cache->lookupRecords(m_type, PTR);
    return std::any_of(pointers.begin(), pointers.end(),
                       [&](const Record &ptr) { return ptr.target == instance; });
}

QList<Name> Browser::hostNames() const
{
    QList<Name> hosts;
    for (const Service &service : m_services)
        hosts.append(Name::fromDotted(service.hostname()));
    return hosts;
}

void Browser::onMessage(const Message &message)
{
    // Queries, our own among them, tell nothing about what exists.
    if (!message.response)
        return;
    // Answers and additional records alike: what came along need not be asked for.
    const QList<Record> records = message.answers + message.additionals;
    QList<Name> hosts = hostNames();
    for (const Record &record : records) {
        if (record.type == PTR && record.name == m_type && isInstance(record.target)) {
            m_cache->addRecord(record);
            markDirty(record.target);
        } else if ((record.type == SRV || record.type == TXT) && isInstance(record.name)) {
            m_cache->addRecord(record);
            markDirty(record.name);
            if (record.type == SRV)
                hosts.append(record.target);
        }
    }
    // Addresses of our services' hosts, kept for the resolvers.
    for (const Record &record : records) {
        if ((record.type == A || record.type == AAAA) && hosts.contains(record.name))
            m_cache->addRecord(record);
    }
}

void Browser::onRecord(const Record &record)
{
    if (record.type == PTR && record.name == m_type && isInstance(record.target))
        markDirty(record.target);
    else if ((record.type == SRV || record.type == TXT) && isInstance(record.name))
        markDirty(record.name);
}

void Browser::onShouldQuery(const Record &record)
{
    bool wanted = false;
    if (record.type == PTR)
        wanted = record.name == m_type;
    else if (record.type == SRV || record.type == TXT)
        wanted = isInstance(record.name) && hasPointer(record.name);
    else if (record.type == A || record.type == AAAA)
        wanted = hostNames().contains(record.name);
    if (wanted)
        m_querier.query({Question{record.name, record.type, ClassIn, false}});
}

void Browser::markDirty(const Name &instance)
{
    if (!m_dirty.contains(instance))
        m_dirty.append(instance);
    // Reported once the whole message is in the cache, so that an instance
    // arriving with all its records is reported once, complete.
    if (!m_updatePending) {
        m_updatePending = true;
        QMetaObject::invokeMethod(this, &Browser::update, Qt::QueuedConnection);
    }
}

void Browser::update()
{
    m_updatePending = false;
    const QList<Name> dirty = std::exchange(m_dirty, {});
    QSet<Name> pointers;
    for (const Record &ptr : m_cache->lookupRecords(m_type, PTR))
        pointers.insert(ptr.target);
    QList<Question> missing;
    for (const Name &instance : dirty) {
        const bool pointer = pointers.contains(instance);
        const QList<Record> srv = m_cache->lookupRecords(instance, SRV);
        const QList<Record> txt = m_cache->lookupRecords(instance, TXT);
        if (pointer && !srv.isEmpty() && !txt.isEmpty()) {
            // The newest record of each set: older ones are on their way out.
            Service service;
            service.setName(instanceName(instance));
            service.setType(m_type.toDotted());
            service.setHostname(srv.first().target.toDotted());
            service.setPort(srv.first().port);
            service.setAttributes(Service::attributesFromTxt(txt.first().txt));
            const auto it = m_services.constFind(instance);
            if (it == m_services.constEnd()) {
                m_services.insert(instance, service);
                emit serviceAdded(service);
            } else if (!(*it == service)) {
                m_services.insert(instance, service);
                emit serviceUpdated(service);
            }
            continue;
        }
        if (m_services.contains(instance))
            emit serviceRemoved(m_services.take(instance));
        if (!pointer) {
            m_asked.remove(instance);
            continue;
        }
        // Announced without its SRV or TXT: ask for what is missing.
        const qint64 now = m_cache->clock()->now();
        const auto asked = m_asked.constFind(instance);
        if (asked != m_asked.constEnd() && now - *asked < AskIntervalMs)
            continue;
        m_asked.insert(instance, now);
        if (srv.isEmpty())
            missing.append(Question{instance, SRV, ClassIn, false});
        if (txt.isEmpty())
            missing.append(Question{instance, TXT, ClassIn, false});
    }
    if (!missing.isEmpty())
        m_querier.query(missing);
}

} // namespace Mdns
