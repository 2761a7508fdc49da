#include "mdns/message.h"

#include <QHash>

namespace Mdns {

namespace {

constexpr int HeaderSize = 12;
constexpr int MaxNameLength = 255;
constexpr int MaxLabelLength = 63;
// Smallest question: root name plus type and class; smallest record: root
// name plus type, class, TTL and RDLENGTH.
constexpr int MinQuestionSize = 5;
constexpr int MinRecordSize = 11;

class Reader
{
public:
    explicit Reader(QByteArrayView data)
        : m_data(reinterpret_cast<const uchar *>(data.data())), m_size(data.size())
    {
    }

    qsizetype pos() const { return m_pos; }
    void seek(qsizetype pos) { m_pos = pos; }

    bool u8(quint8 *value)
    {
        if (m_pos + 1 > m_size)
            return false;
        *value = m_data[m_pos++];
        return true;
    }

    bool u16(quint16 *value)
    {
        if (m_pos + 2 > m_size)
            return false;
        *value = quint16((m_data[m_pos] << 8) | m_data[m_pos + 1]);
        m_pos += 2;
        return true;
    }

    bool u32(quint32 *value)
    {
        quint16 high = 0, low = 0;
        if (!u16(&high) || !u16(&low))
            return false;
        *value = (quint32(high) << 16) | low;
        return true;
    }

    bool bytes(qsizetype count, QByteArray *value)
    {
        if (count < 0 || m_pos + count > m_size)
            return false;
        *value = QByteArray(reinterpret_cast<const char *>(m_data + m_pos), count);
        m_pos += count;
        return true;
    }

    // Reads a possibly compressed name. Its uncompressed part must end by
    // `bound`. Every pointer must point before the start of the stretch of
    // labels it ends, so each jump goes strictly backwards and no cycle can
    // form; the name's length limit bounds the work besides.
    bool name(qsizetype bound, Name *value)
    {
        QList<QByteArray> labels;
        qsizetype length = 1;
        qsizetype p = m_pos;
        qsizetype segmentStart = m_pos;
        qsizetype end = -1;
        for (;;) {
            if (p >= (end < 0 ? bound : m_size))
                return false;
            const quint8 byte = m_data[p];
            if (byte == 0) {
                if (end < 0)
                    end = p + 1;
                break;
            }
            switch (byte & 0xC0) {
            case 0xC0: {
                if (p + 1 >= (end < 0 ? bound : m_size))
                    return false;
                const qsizetype target = ((byte & 0x3F) << 8) | m_data[p + 1];
                if (target >= segmentStart)
                    return false;
                if (end < 0)
                    end = p + 2;
                p = segmentStart = target;
                break;
            }
            case 0x00: {
                const qsizetype labelEnd = p + 1 + byte;
                if (labelEnd > (end < 0 ? bound : m_size))
                    return false;
                length += byte + 1;
                if (length > MaxNameLength)
                    return false;
                labels.append(QByteArray(reinterpret_cast<const char *>(m_data + p + 1), byte));
                p = labelEnd;
                break;
            }
            default:
                // 0x40 and 0x80: reserved label types (a "64-byte label" too).
                return false;
            }
        }
        m_pos = end;
        *value = Name(labels);
        return true;
    }

    qsizetype size() const { return m_size; }

private:
    const uchar *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

bool readTxt(Reader &reader, qsizetype end, QList<QByteArray> *strings)
{
    while (reader.pos() < end) {
        quint8 length = 0;
        QByteArray string;
        if (!reader.u8(&length) || reader.pos() + length > end || !reader.bytes(length, &string))
            return false;
        // Empty strings carry nothing; an empty TXT record is one zero byte.
        if (!string.isEmpty())
            strings->append(string);
    }
    return true;
}

// Reads one record; false for a malformed one. `keep` is false for records
// that are well formed but not of a type or class we use.
bool readRecord(Reader &reader, Record *record, bool *keep)
{
    quint16 rawClass = 0, rdLength = 0;
    if (!reader.name(reader.size(), &record->name) || !reader.u16(&record->type) ||
        !reader.u16(&rawClass) || !reader.u32(&record->ttl) || !reader.u16(&rdLength))
        return false;
    // The top bit is cache-flush in multicast DNS answers, never part of the class.
    record->recordClass = rawClass & 0x7FFF;
    record->cacheFlush = rawClass & 0x8000;
    // RFC 2181: a TTL with the top bit set means zero.
    if (record->ttl & 0x80000000u)
        record->ttl = 0;
    const qsizetype start = reader.pos();
    const qsizetype end = start + rdLength;
    if (end > reader.size())
        return false;
    *keep = record->recordClass == ClassIn;
    switch (*keep ? record->type : 0) {
    case A:
    case AAAA: {
        const qsizetype expected = record->type == A ? 4 : 16;
        QByteArray bytes;
        if (rdLength != expected || !reader.bytes(expected, &bytes))
            return false;
        if (record->type == A) {
            const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
            record->address = QHostAddress((quint32(b[0]) << 24) | (quint32(b[1]) << 16) |
                                           (quint32(b[2]) << 8) | quint32(b[3]));
        } else {
            record->address = QHostAddress(reinterpret_cast<const quint8 *>(bytes.constData()));
        }
        break;
    }
    case PTR:
        if (!reader.name(end, &record->target))
            return false;
        break;
    case SRV:
        if (!reader.u16(&record->priority) || !reader.u16(&record->weight) ||
            !reader.u16(&record->port) || reader.pos() > end || !reader.name(end, &record->target))
            return false;
        break;
    case TXT:
        if (!readTxt(reader, end, &record->txt))
            return false;
        break;
    default:
        *keep = false;
        break;
    }
    // Whatever the type, the next record starts right after this RDATA.
    reader.seek(end);
    return true;
}

class Writer
{
public:
    bool ok = true;
    QByteArray out;

    void u8(quint8 value) { out += char(value); }
    void u16(quint16 value)
    {
        out += char(value >> 8);
        out += char(value & 0xFF);
    }
    void u32(quint32 value)
    {
        u16(quint16(value >> 16));
        u16(quint16(value & 0xFFFF));
    }
    void patch16(qsizetype at, quint16 value)
    {
        out[at] = char(value >> 8);
        out[at + 1] = char(value & 0xFF);
    }

    void name(const Name &name)
    {
        if (name.wireLength() > MaxNameLength) {
            ok = false;
            return;
        }
        const QList<QByteArray> &labels = name.labels();
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const QByteArray suffix = Name(labels.mid(i)).key();
            const auto it = m_offsets.constFind(suffix);
            if (it != m_offsets.constEnd()) {
                u16(quint16(0xC000 | *it));
                return;
            }
            if (labels[i].isEmpty() || labels[i].size() > MaxLabelLength) {
                ok = false;
                return;
            }
            if (out.size() < 0x4000)
                m_offsets.insert(suffix, int(out.size()));
            u8(quint8(labels[i].size()));
            out += labels[i];
        }
        u8(0);
    }

    void record(const Record &r)
    {
        name(r.name);
        u16(r.type);
        u16(quint16(r.recordClass | (r.cacheFlush ? 0x8000 : 0)));
        u32(r.ttl);
        const qsizetype lengthAt = out.size();
        u16(0);
        const qsizetype start = out.size();
        switch (r.type) {
        case A:
            u32(r.address.toIPv4Address());
            break;
        case AAAA: {
            const Q_IPV6ADDR address = r.address.toIPv6Address();
            out.append(reinterpret_cast<const char *>(address.c), 16);
            break;
        }
        case PTR:
            name(r.target);
            break;
        case SRV:
            u16(r.priority);
            u16(r.weight);
            u16(r.port);
            name(r.target);
            break;
        case TXT:
            for (const QByteArray &string : r.txt) {
                if (string.size() > 255) {
                    ok = false;
                    return;
                }
                u8(quint8(string.size()));
                out += string;
            }
            if (r.txt.isEmpty())
                u8(0);
            break;
        default:
            ok = false;
            return;
        }
        patch16(lengthAt, quint16(out.size() - start));
    }

private:
    QHash<QByteArray, int> m_offsets;
};

} // namespace

Result<Message> Message::fromWire(QByteArrayView data)
{
    if (data.size() < HeaderSize || data.size() > MaxSize)
        return std::unexpected(QStringLiteral("size out of range"));
    Reader reader(data);
    Message message;
    quint16 flags = 0, qd = 0, an = 0, ns = 0, ar = 0;
    reader.u16(&message.id);
    reader.u16(&flags);
    reader.u16(&qd);
    reader.u16(&an);
    reader.u16(&ns);
    reader.u16(&ar);
    message.response = flags & 0x8000;
    message.opcode = quint8((flags >> 11) & 0xF);
    message.authoritative = flags & 0x0400;
    message.truncated = flags & 0x0200;
    message.rcode = quint8(flags & 0xF);
    // Counts that cannot fit are rejected before any work.
    if (qsizetype(qd) * MinQuestionSize + (qsizetype(an) + ns + ar) * MinRecordSize >
        data.size() - HeaderSize)
        return std::unexpected(QStringLiteral("counts beyond the datagram"));

    for (int i = 0; i < qd; ++i) {
        Question q;
        quint16 rawClass = 0;
        if (!reader.name(reader.size(), &q.name) || !reader.u16(&q.type) || !reader.u16(&rawClass))
            return std::unexpected(QStringLiteral("bad question"));
        q.questionClass = rawClass & 0x7FFF;
        q.unicastResponse = rawClass & 0x8000;
        message.questions.append(q);
    }
    QList<Record> *sections[] = {&message.answers, &message.authorities, &message.additionals};
    const int counts[] = {an, ns, ar};
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < counts[s]; ++i) {
            Record record;
            bool keep = false;
            if (!readRecord(reader, &record, &keep))
                return std::unexpected(QStringLiteral("bad record"));
            if (keep)
                sections[s]->append(record);
        }
    }
    return message;
}

QByteArray Message::toWire() const
{
    Writer writer;
    writer.u16(id);
    writer.u16(quint16((response ? 0x8000 : 0) | ((opcode & 0xF) << 11) |
                       (authoritative ? 0x0400 : 0) | (truncated ? 0x0200 : 0) | (rcode & 0xF)));
    writer.u16(quint16(questions.size()));
    writer.u16(quint16(answers.size()));
    writer.u16(quint16(authorities.size()));
    writer.u16(quint16(additionals.size()));
    for (const Question &q : questions) {
        writer.name(q.name);
        writer.u16(q.type);
        writer.u16(quint16(q.questionClass | (q.unicastResponse ? 0x8000 : 0)));
    }
    for (const QList<Record> *section : {&answers, &authorities, &additionals}) {
        for (const Record &record : *section)
            writer.record(record);
    }
    if (!writer.ok || writer.out.size() > MaxSize)
        return {};
    return writer.out;
}

} // namespace Mdns
