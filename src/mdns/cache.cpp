#include "mdns/cache.h"

#include "mdns/clock.h"

#include <QRandomGenerator>

namespace Mdns {

namespace {

constexpr qint64 GraceMs = 1000;
constexpr int RefreshSteps = 4;

} // namespace

Cache::Cache(QObject *parent) : Cache(Clock::system(), parent) {}

Cache::Cache(Clock *clock, QObject *parent) : QObject(parent), m_clock(clock), m_timer(clock)
{
    qRegisterMetaType<Mdns::Record>();
    connect(&m_timer, &Timer::timeout, this, &Cache::onTimer);
}

void Cache::setRefresh(Entry &entry)
{
    if (entry.refreshStep >= RefreshSteps)
        return;
    // 80 % plus 5 % per step, plus up to 2 % at random so that caches
    // across the network do not all ask at once.
    const qint64 permille = 800 + 50 * entry.refreshStep + QRandomGenerator::global()->bounded(21);
    entry.refreshAt = entry.received + qint64(entry.record.ttl) * permille;
}

void Cache::doom(Entry &entry, qint64 now)
{
    entry.expires = std::min(entry.expires, now + GraceMs);
    entry.refreshStep = RefreshSteps;
    wakeBy(entry.expires);
}

void Cache::addRecord(const Record &record)
{
    const qint64 now = m_clock->now();
    auto set = m_entries.find(record.name);
    if (set == m_entries.end()) {
        // A goodbye never creates an entry.
        if (record.ttl == 0 || m_count >= MaxRecords)
            return;
        set = m_entries.insert(record.name, {});
    }
    Entry *existing = nullptr;
    for (Entry &entry : *set) {
        if (entry.record.sameRecord(record)) {
            existing = &entry;
        } else if (record.cacheFlush && record.ttl > 0 && entry.record.sameSet(record) &&
                   now - entry.received > GraceMs) {
            // RFC 6762 section 10.2: the sender holds the whole set; what it
            // no longer lists is stale.
            doom(entry, now);
        }
    }
    if (record.ttl == 0) {
        if (existing)
            doom(*existing, now);
        return;
    }
    if (existing) {
        existing->record.ttl = record.ttl;
        existing->record.cacheFlush = record.cacheFlush;
        existing->received = now;
        existing->expires = now + qint64(record.ttl) * 1000;
        existing->refreshStep = 0;
        setRefresh(*existing);
        wakeBy(existing->refreshAt);
        return;
    }
    if (m_count >= MaxRecords || set->size() >= MaxRecordsPerName)
        return;
    Entry entry;
    entry.record = record;
    entry.received = now;
    entry.expires = now + qint64(record.ttl) * 1000;
    setRefresh(entry);
    set->append(entry);
    ++m_count;
    wakeBy(entry.refreshAt);
    emit recordAdded(record);
}

QList<Record> Cache::lookup(const Name &name, quint16 type, bool onlyFresh) const
{
    const qint64 now = m_clock->now();
    const auto set = m_entries.constFind(name);
    if (set == m_entries.constEnd())
        return {};
    QList<const Entry *> found;
    // Latest first; of records received at the same moment, the later one.
    for (auto it = set->crbegin(); it != set->crend(); ++it) {
        const Entry &entry = *it;
        if (entry.expires <= now || (type != ANY && entry.record.type != type))
            continue;
        const qint64 lifetime = qint64(entry.record.ttl) * 1000;
        if (onlyFresh &&
            (entry.refreshStep >= RefreshSteps || (entry.expires - now) * 2 <= lifetime))
            continue;
        found.append(&entry);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Entry *a, const Entry *b) { return a->received > b->received; });
    QList<Record> records;
    for (const Entry *entry : found) {
        Record record = entry->record;
        record.ttl = quint32((entry->expires - now + 999) / 1000);
        records.append(record);
    }
    return records;
}

QList<Record> Cache::lookupRecords(const Name &name, quint16 type) const
{
    return lookup(name, type, false);
}

QList<Record> Cache::knownAnswers(const Name &name, quint16 type) const
{
    return lookup(name, type, true);
}

void Cache::onTimer()
{
    const qint64 now = m_clock->now();
    QList<Record> expired, refresh;
    for (auto set = m_entries.begin(); set != m_entries.end();) {
        for (qsizetype i = set->size() - 1; i >= 0; --i) {
            Entry &entry = (*set)[i];
            if (entry.expires <= now) {
                expired.append(entry.record);
                set->removeAt(i);
                --m_count;
            } else if (entry.refreshStep < RefreshSteps && entry.refreshAt <= now) {
                ++entry.refreshStep;
                setRefresh(entry);
                Record record = entry.record;
                record.ttl = quint32((entry.expires - now + 999) / 1000);
                refresh.append(record);
            }
        }
        set = set->isEmpty() ? m_entries.erase(set) : std::next(set);
    }
    reschedule();
    for (const Record &record : std::as_const(expired))
        emit recordExpired(record);
    for (const Record &record : std::as_const(refresh))
        emit shouldQuery(record);
}

void Cache::wakeBy(qint64 at)
{
    if (!m_timer.isActive() || at < m_timer.deadline())
        m_timer.startAt(at);
}

void Cache::reschedule()
{
    qint64 next = -1;
    for (const QList<Entry> &set : std::as_const(m_entries)) {
        for (const Entry &entry : set) {
            qint64 at = entry.expires;
            if (entry.refreshStep < RefreshSteps)
                at = std::min(at, entry.refreshAt);
            if (next < 0 || at < next)
                next = at;
        }
    }
    m_timer.stop();
    if (next >= 0)
        m_timer.startAt(next);
}

} // namespace Mdns
