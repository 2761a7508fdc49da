#pragma once

#include "mdns/record.h"
#include "mdns/timer.h"

#include <QHash>
#include <QObject>

namespace Mdns {

class Clock;

// Records received, each kept for its TTL (RFC 6762 section 5.2 and 10).
// Near the end of a record's life it asks, through shouldQuery(), for a
// refresh at 80, 85, 90 and 95 % of the TTL; whoever still wants the record
// sends the query.
class Cache : public QObject
{
    Q_OBJECT

public:
    explicit Cache(QObject *parent = nullptr);
    explicit Cache(Clock *clock, QObject *parent = nullptr);

    Clock *clock() const { return m_clock; }

    // Adds or refreshes a record. TTL 0 (goodbye) makes a cached record go
    // one second later and never creates one; a cache-flush record makes the
    // other records of its set that are older than a second go one second later.
    void addRecord(const Record &record);
    // Records of a name (and type, or every type for ANY), newest first, TTL
    // set to what is left in whole seconds.
    QList<Record> lookupRecords(const Name &name, quint16 type) const;
    // The records of lookupRecords() with more than half their TTL left:
    // those worth listing as known answers in a query.
    QList<Record> knownAnswers(const Name &name, quint16 type) const;

    // Bounds against floods: further new records are dropped. Each insertion
    // scans the set of its name, so that set is kept smaller still.
    static constexpr int MaxRecords = 4096;
    static constexpr int MaxRecordsPerName = 512;

signals:
    void recordAdded(const Mdns::Record &record);
    void recordExpired(const Mdns::Record &record);
    void shouldQuery(const Mdns::Record &record);

private:
    struct Entry
    {
        Record record;
        qint64 received = 0;
        qint64 expires = 0;
        int refreshStep = 0; // refresh queries asked for so far, 4 when done or doomed
        qint64 refreshAt = 0;
    };

    void setRefresh(Entry &entry);
    void doom(Entry &entry, qint64 now);
    QList<Record> lookup(const Name &name, quint16 type, bool onlyFresh) const;
    void onTimer();
    // Fires the timer no later than `at`.
    void wakeBy(qint64 at);
    void reschedule();

    Clock *m_clock;
    Timer m_timer;
    // By owner name, so that a flood under one name costs no more than its own set.
    QHash<Name, QList<Entry>> m_entries;
    qsizetype m_count = 0;
};

} // namespace Mdns
