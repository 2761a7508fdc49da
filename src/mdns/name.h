#pragma once

#include <QByteArray>
#include <QList>

namespace Mdns {

// A domain name as its list of labels. Labels are kept apart because a
// service instance label may itself contain dots (and UTF-8); names are never
// split at "." except where a type or host name is written as text.
class Name
{
public:
    Name() = default;
    explicit Name(QList<QByteArray> labels);

    // Splits a type or host name such as "_modbus._tcp.local." at its dots.
    static Name fromDotted(const QByteArray &text);
    // Labels joined with dots, with a trailing dot ("m1.local.").
    QByteArray toDotted() const;

    const QList<QByteArray> &labels() const { return m_labels; }
    bool isEmpty() const { return m_labels.isEmpty(); }
    // The name with one more label in front (an instance in front of its type).
    Name prepended(const QByteArray &label) const;
    // The name without its first label.
    Name parent() const;
    // Length in uncompressed wire form, root byte included.
    qsizetype wireLength() const;
    // Lower-case (ASCII only) wire form: equal exactly for names that compare equal.
    QByteArray key() const;

    // DNS compares names case-insensitively for ASCII letters only; UTF-8 bytes
    // compare exactly.
    bool operator==(const Name &other) const;

    static QByteArray asciiLower(const QByteArray &bytes);

private:
    QList<QByteArray> m_labels;
};

size_t qHash(const Name &name, size_t seed = 0);

} // namespace Mdns
