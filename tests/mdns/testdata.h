#pragma once

#include "mdns/message.h"
#include "mdns/service.h"

// Helpers for hand-made records and datagrams, and malformed datagrams that
// no cut of a valid one produces.
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

// A response header with these question and answer counts.
inline QByteArray header(int qd, int an)
{
    QByteArray h = QByteArray::fromHex("00008400");
    for (int count : {qd, an, 0, 0})
        h.append(char(count >> 8)).append(char(count));
    return h;
}

inline QByteArray label(const QByteArray &text)
{
    return char(text.size()) + text;
}

inline QList<std::pair<const char *, QByteArray>> malformedDatagrams()
{
    const QByteArray q = header(1, 0), tail = QByteArray::fromHex("000c0001");
    // One answer named "h", followed by its type, class, TTL, RDLENGTH and RDATA.
    const auto rr = [](const char *hex) {
        return header(0, 1) + "\x01h" + QByteArray::fromHex(hex);
    };
    QByteArray longName, many;
    for (int i = 0; i < 4; ++i)
        longName += label(QByteArray(63, char('a' + i)));
    for (int i = 0; i < 127; ++i)
        many += label("a");
    return {
        // A skipped record's RDATA holds two pointers at each other; the next name enters them.
        {"cycle of two pointers",
         header(0, 2) + QByteArray::fromHex("0000630001000000780004c019c017c019000c000100000078"
                                            "0002c017")},
        // Also label types 0x40 and 0x80, both reserved.
        {"64-byte label", q + char(64) + QByteArray(64, 'a') + '\0' + tail},
        {"name over 255 bytes", q + longName + '\0' + tail},
        {"255 bytes through a pointer",
         header(2, 0) + many + '\0' + tail + label("b") + QByteArray::fromHex("c00c") + tail},
        {"A with RDLENGTH 5", rr("0000010001000000780005c000020701")},
        {"AAAA with RDLENGTH 4", rr("00001c0001000000780004c0000207")},
        {"PTR name past its RDATA", rr("00000c0001000000780002016100")},
        {"SRV shorter than its fields", rr("000021000100000078000300010000")},
        {"TXT past its RDATA", rr("0000100001000000780002056162")},
        {"ANCOUNT 65535 in 12 bytes", header(0, 65535)},
        {"over 9000 bytes", header(0, 0) + QByteArray(9000, '\0')},
    };
}

} // namespace TestData
