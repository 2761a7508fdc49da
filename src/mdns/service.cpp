#include "mdns/service.h"

#include "mdns/name.h"

namespace Mdns {

QMap<QByteArray, QByteArray> Service::attributesFromTxt(const QList<QByteArray> &strings)
{
    QMap<QByteArray, QByteArray> attributes;
    QList<QByteArray> seen;
    for (const QByteArray &string : strings) {
        if (string.isEmpty() || string.startsWith('='))
            continue;
        const qsizetype equals = string.indexOf('=');
        const QByteArray key = equals < 0 ? string : string.left(equals);
        const QByteArray lowerKey = Name::asciiLower(key);
        if (seen.contains(lowerKey))
            continue;
        seen.append(lowerKey);
        QByteArray value; // null: the key stood alone
        if (equals >= 0) {
            value = string.mid(equals + 1);
            if (value.isNull())
                value = QByteArray(""); // "key=": present but empty
        }
        attributes.insert(key, value);
    }
    return attributes;
}

QList<QByteArray> Service::txtFromAttributes(const QMap<QByteArray, QByteArray> &attributes)
{
    QList<QByteArray> strings;
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it)
        strings.append(it.value().isNull() ? it.key() : it.key() + '=' + it.value());
    return strings;
}

bool Service::operator==(const Service &other) const
{
    if (m_name != other.m_name || m_type != other.m_type || m_hostname != other.m_hostname ||
        m_port != other.m_port || m_attributes.keys() != other.m_attributes.keys())
        return false;
    // Null and empty values differ here, unlike QByteArray's own comparison.
    for (auto it = m_attributes.constBegin(); it != m_attributes.constEnd(); ++it) {
        const QByteArray theirs = other.m_attributes.value(it.key());
        if (it.value() != theirs || it.value().isNull() != theirs.isNull())
            return false;
    }
    return true;
}

} // namespace Mdns
