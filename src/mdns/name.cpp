#include "mdns/name.h"

#include <QHash>

namespace Mdns {

Name::Name(QList<QByteArray> labels) : m_labels(std::move(labels)) {}

Name Name::fromDotted(const QByteArray &text)
{
    QList<QByteArray> labels;
    for (const QByteArray &part : text.split('.')) {
        if (!part.isEmpty())
            labels.append(part);
    }
    return Name(labels);
}

QByteArray Name::toDotted() const
{
    QByteArray text;
    for (const QByteArray &label : m_labels)
        text += label + '.';
    return text;
}

Name Name::prepended(const QByteArray &label) const
{
    QList<QByteArray> labels = m_labels;
    labels.prepend(label);
    return Name(labels);
}

Name Name::parent() const
{
    return Name(m_labels.mid(1));
}

qsizetype Name::wireLength() const
{
    qsizetype length = 1;
    for (const QByteArray &label : m_labels)
        length += label.size() + 1;
    return length;
}

QByteArray Name::key() const
{
    QByteArray key;
    key.reserve(wireLength());
    for (const QByteArray &label : m_labels) {
        key += char(label.size());
        key += asciiLower(label);
    }
    key += '\0';
    return key;
}

bool Name::operator==(const Name &other) const
{
    if (m_labels.size() != other.m_labels.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    // Without copies: caches compare names often.
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        const QByteArray &a = m_labels[i];
        const QByteArray &b = other.m_labels[i];
        if (a.size() != b.size())
            return false;
        for (qsizetype j = 0; j < a.size(); ++j) {
            if (lower(a[j]) != lower(b[j]))
                return false;
        }
    }
    return true;
}

QByteArray Name::asciiLower(const QByteArray &bytes)
{
    QByteArray lower = bytes;
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return lower;
}

size_t qHash(const Name &name, size_t seed)
{
    return qHash(name.key(), seed);
}

} // namespace Mdns
