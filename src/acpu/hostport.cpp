#include "acpu/hostport.h"

#include <QHostAddress>

namespace Acpu {

namespace {
Result<quint16> ParsePort(const QString &text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::unexpected(QStringLiteral("not a port number: %1").arg(text));
    return static_cast<quint16>(port);
}
} // namespace

bool HostPort::isIpv6() const
{
    return host.contains(QLatin1Char(':'));
}

QString HostPort::urlHost() const
{
    return isIpv6() ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

Result<HostPort> ParseHostPort(const QString &input, quint16 defaultPort)
{
    const auto noHost = [] { return std::unexpected(QStringLiteral("no host")); };
    const auto notIpv6 = [] { return std::unexpected(QStringLiteral("not an IPv6 address")); };
    const QString text = input.trimmed();
    if (text.isEmpty())
        return noHost();
    HostPort result{QString(), defaultPort};
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::unexpected(QStringLiteral("no closing bracket"));
        result.host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return std::unexpected(QStringLiteral("text after the closing bracket"));
            const auto port = ParsePort(rest.mid(1));
            if (!port)
                return std::unexpected(port.error());
            result.port = *port;
        }
        if (result.host.isEmpty() ||
            QHostAddress(result.host).protocol() != QAbstractSocket::IPv6Protocol)
            return notIpv6();
        return result;
    }
    const qsizetype colons = text.count(QLatin1Char(':'));
    if (colons > 1) {
        // A bare IPv6 address carries no port.
        if (QHostAddress(text).protocol() != QAbstractSocket::IPv6Protocol)
            return notIpv6();
        result.host = text;
        return result;
    }
    if (colons == 1) {
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        const auto port = ParsePort(text.mid(colon + 1));
        if (!port)
            return std::unexpected(port.error());
        result.host = text.left(colon);
        result.port = *port;
    } else {
        result.host = text;
    }
    if (result.host.isEmpty())
        return noHost();
    return result;
}

} // namespace Acpu
