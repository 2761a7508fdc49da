#pragma once

#include "mdns/message.h"
#include "mdns/querier.h"
#include "mdns/service.h"

#include <QHash>
#include <QObject>

namespace Mdns {

class AbstractServer;
class Cache;

// Finds the instances of one service type (RFC 6763 section 4): asks for the
// type's PTR records on a growing schedule, gathers each instance's SRV and
// TXT records and reports the instances as they come, change and go.
class Browser : public QObject
{
    Q_OBJECT

public:
    // `type` such as "_modbus._tcp.local.".
    Browser(AbstractServer *server, const QByteArray &type, Cache *cache,
            QObject *parent = nullptr);

    QList<Service> services() const { return m_services.values(); }

signals:
    void serviceAdded(const Mdns::Service &service);
    // Its SRV or TXT record changed.
    void serviceUpdated(const Mdns::Service &service);
    // Said goodbye or expired.
    void serviceRemoved(const Mdns::Service &service);

private:
    void onMessage(const Message &message);
    void onRecord(const Record &record);
    void onShouldQuery(const Record &record);
    bool isInstance(const Name &name) const;
    // The instance's own labels, joined by dots.
    QByteArray instanceName(const Name &instance) const;
    bool hasPointer(const Name &instance) const;
    QList<Name> hostNames() const;
    void markDirty(const Name &instance);
    void update();

    AbstractServer *m_server;
    Cache *m_cache;
    Name m_type;
    Querier m_querier;
    QHash<Name, Service> m_services; // as last reported
    QHash<Name, qint64> m_asked;     // when SRV/TXT were last asked for
    QList<Name> m_dirty;
    bool m_updatePending = false;
};

} // namespace Mdns
