#pragma once

#include "mdns/name.h"

#include <QHostAddress>
#include <QMetaType>

namespace Mdns {

// Resource record types the engine reads; every other type is skipped.
enum Type : quint16
{
    A = 1,
    PTR = 12,
    TXT = 16,
    AAAA = 28,
    SRV = 33,
    NSEC = 47,
    ANY = 255,
};

constexpr quint16 ClassIn = 1;
constexpr quint16 ClassAny = 255;

// One resource record. Only the data fields of its type are meaningful.
struct Record
{
    Name name;
    quint16 type = 0;
    quint16 recordClass = ClassIn; // without the cache-flush bit
    bool cacheFlush = false;
    quint32 ttl = 0;

    QHostAddress address;  // A, AAAA
    Name target;           // PTR, SRV
    quint16 priority = 0;  // SRV
    quint16 weight = 0;    // SRV
    quint16 port = 0;      // SRV
    QList<QByteArray> txt; // TXT strings

    // Same name, type and class: the records form one set.
    bool sameSet(const Record &other) const;
    // Same set and same data: one record, whatever its TTL.
    bool sameRecord(const Record &other) const;
};

struct Question
{
    Name name;
    quint16 type = 0;
    quint16 questionClass = ClassIn; // without the unicast-response bit
    bool unicastResponse = false;
};

} // namespace Mdns

Q_DECLARE_METATYPE(Mdns::Record)
