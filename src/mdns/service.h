#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMetaType>

namespace Mdns {

// A DNS-SD service instance as a browser reports it.
class Service
{
public:
    // The instance label ("VrkC1 1000"): one label that may hold dots and UTF-8.
    QByteArray name() const { return m_name; }
    void setName(const QByteArray &name) { m_name = name; }
    // The service type, "_modbus._tcp.local.".
    QByteArray type() const { return m_type; }
    void setType(const QByteArray &type) { m_type = type; }
    // The target host, "m1.local.".
    QByteArray hostname() const { return m_hostname; }
    void setHostname(const QByteArray &hostname) { m_hostname = hostname; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    // TXT attributes by key. A key given alone has a null value; "key=" has an
    // empty, non-null one.
    QMap<QByteArray, QByteArray> attributes() const { return m_attributes; }
    void setAttributes(const QMap<QByteArray, QByteArray> &attributes)
    {
        m_attributes = attributes;
    }
    void addAttribute(const QByteArray &key, const QByteArray &value)
    {
        m_attributes.insert(key, value);
    }

    // TXT strings to attributes (RFC 6763 section 6): strings starting with
    // "=" are ignored and the first of keys equal but for ASCII case wins.
    static QMap<QByteArray, QByteArray> attributesFromTxt(const QList<QByteArray> &strings);
    // Attributes to TXT strings, "key" for a null value, "key=value" otherwise.
    static QList<QByteArray> txtFromAttributes(const QMap<QByteArray, QByteArray> &attributes);

    bool operator==(const Service &other) const;

private:
    QByteArray m_name;
    QByteArray m_type;
    QByteArray m_hostname;
    quint16 m_port = 0;
    QMap<QByteArray, QByteArray> m_attributes;
};

} // namespace Mdns

Q_DECLARE_METATYPE(Mdns::Service)
