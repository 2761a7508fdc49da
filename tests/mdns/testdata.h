#pragma once

#include "mdns/message.h"
#include "mdns/service.h"

#include <algorithm>

// Helpers for hand-made records and messages.
namespace TestData {

inline const QByteArray TypeText = "_modbus._tcp.local.";
inline const Mdns::Name ModbusType = Mdns::Name::fromDotted(TypeText);
// One label: dot, backslash and UTF-8 included.
inline const QByteArray InstanceLabel = "Grinder 2.1 \\ \xc5\xbe\xc3\xa1k";
inline const Mdns::Name Instance = ModbusType.prepended(InstanceLabel);
inline const Mdns::Name Host = Mdns::Name::fromDotted("m1.local");

inline Mdns::Record record(const Mdns::Name &name, quint16 type, quint32 ttl, bool flush = false)
{
    Mdns::Record r;
    r.name = name;
    r.type = type;
    r.ttl = ttl;
    r.cacheFlush = flush;
    return r;
}

inline Mdns::Record ptr(quint32 ttl = 4500, const Mdns::Name &instance = Instance)
{
    Mdns::Record r = record(ModbusType, Mdns::PTR, ttl);
    r.target = instance;
    return r;
}

inline Mdns::Record srv(quint16 port, quint32 ttl = 120)
{
    Mdns::Record r = record(Instance, Mdns::SRV, ttl, true);
    r.port = port;
    r.target = Host;
    return r;
}

inline Mdns::Record txt(const QList<QByteArray> &strings, quint32 ttl = 4500)
{
    Mdns::Record r = record(Instance, Mdns::TXT, ttl, true);
    r.txt = strings;
    return r;
}

inline Mdns::Record address(const char *text, quint32 ttl = 120, bool flush = true)
{
    Mdns::Record r =
        record(Host, QByteArray(text).contains(':') ? Mdns::AAAA : Mdns::A, ttl, flush);
    r.address = QHostAddress(QString::fromLatin1(text));
    return r;
}

inline Mdns::Message response(const QList<Mdns::Record> &answers,
                              const QList<Mdns::Record> &additionals = {})
{
    Mdns::Message m;
    m.response = m.authoritative = true;
    m.answers = answers;
    m.additionals = additionals;
    return m;
}

// The same records in the same order, TTL and cache-flush bit included.
inline bool sameRecords(const QList<Mdns::Record> &a, const QList<Mdns::Record> &b)
{
    return std::ranges::equal(a, b, [](const Mdns::Record &x, const Mdns::Record &y) {
        return x.sameRecord(y) && x.ttl == y.ttl && x.cacheFlush == y.cacheFlush;
    });
}

// A service as a browser reports it (a null attribute value: a key given alone).
inline Mdns::Service service(const QByteArray &name, const QByteArray &host, quint16 port = 502,
                             const QMap<QByteArray, QByteArray> &attributes = {})
{
    Mdns::Service s;
    s.setName(name);
    s.setType(TypeText);
    s.setHostname(host);
    s.setPort(port);
    s.setAttributes(attributes);
    return s;
}

} // namespace TestData
