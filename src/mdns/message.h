#pragma once

#include "core/result.h"
#include "mdns/record.h"

#include <QByteArrayView>

namespace Mdns {

// A DNS message (RFC 1035 section 4) as multicast DNS uses it, plus where it
// came from.
struct Message
{
    quint16 id = 0;
    bool response = false;
    quint8 opcode = 0;
    bool authoritative = false;
    bool truncated = false;
    quint8 rcode = 0;

    QList<Question> questions;
    QList<Record> answers;
    QList<Record> authorities;
    QList<Record> additionals;

    // Not on the wire: the sender and the interface it arrived on (0: unknown).
    QHostAddress sender;
    quint16 senderPort = 0;
    int interfaceIndex = 0;

    // Largest datagram accepted (RFC 6762 section 17).
    static constexpr qsizetype MaxSize = 9000;

    // Parses a datagram. Anything malformed rejects the whole message: no
    // partial result, and nothing outside `data` is ever read. Records of
    // types other than A, AAAA, PTR, SRV and TXT, and of classes other than
    // IN, are skipped by their length without looking inside.
    static Result<Message> fromWire(QByteArrayView data);
    // Encodes with name compression. Empty when a name or string cannot be
    // encoded (label over 63 bytes, name over 255, TXT string over 255).
    QByteArray toWire() const;
};

} // namespace Mdns

Q_DECLARE_METATYPE(Mdns::Message)
