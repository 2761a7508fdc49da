#include "updater/updatepolicy.h"

#include <QHostAddress>
#include <QUrl>

#include <algorithm>

namespace UpdatePolicy {

namespace {
bool isLoopbackHost(const QString &host)
{
    if (host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool isHttps(const QUrl &url)
{
    return url.scheme().compare(QLatin1StringView("https"), Qt::CaseInsensitive) == 0;
}

// Longest name most file systems take (in UTF-8 bytes).
constexpr qsizetype MaxNameBytes = 255;
} // namespace

bool isAllowedAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (isHttps(url))
        return true;
    return url.scheme().compare(QLatin1StringView("http"), Qt::CaseInsensitive) == 0 &&
           isLoopbackHost(url.host());
}

bool isAllowedRedirect(const QUrl &from, const QUrl &to)
{
    return isAllowedAddress(to) && (isHttps(to) || !isHttps(from));
}

bool isSafeFileName(const QString &name)
{
    static const QString reserved = QStringLiteral("/\\:*?\"<>|");
    return !name.isEmpty() && name != QLatin1StringView(".") && name != QLatin1StringView("..") &&
           name.toUtf8().size() <= MaxNameBytes &&
           std::none_of(name.cbegin(), name.cend(), [](QChar c) {
               return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
                      c == QChar::ReplacementCharacter || reserved.contains(c);
           });
}

QString safeFileName(const QUrl &url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    const QString name =
        QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toUtf8());
    return isSafeFileName(name) ? name : QString(FallbackFileName);
}

} // namespace UpdatePolicy
