#pragma once

#include "mdns/record.h"
#include "mdns/timer.h"

#include <QObject>

namespace Mdns {

class AbstractServer;
class Cache;

// Continuous multicast querying (RFC 6762 section 5.2): the first query
// 20-120 ms after start, then after 1 s, 2 s, 4 s and so on up to one hour.
// Each query is a QM query to the group carrying known answers from the cache.
class Querier : public QObject
{
    Q_OBJECT

public:
    Querier(AbstractServer *server, Cache *cache, const QList<Question> &questions,
            QObject *parent = nullptr);

    // Sends these questions now, with their known answers. Known answers
    // beyond one datagram follow in further ones, marked truncated.
    void query(const QList<Question> &questions);

    static constexpr qint64 MaxIntervalMs = 3'600'000;
    static constexpr qsizetype MaxQuerySize = 1400;

private:
    void onTimer();

    AbstractServer *m_server;
    Cache *m_cache;
    QList<Question> m_questions;
    Timer m_timer;
    qint64 m_interval = 0;
};

} // namespace Mdns
