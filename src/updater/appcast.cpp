#include "updater/appcast.h"

#include "updater/updatepolicy.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>
#include <QVersionNumber>

Result<AppcastEntry> Appcast::parse(const QByteArray &data, const QString &platform)
{
    if (data.size() > UpdatePolicy::MaxAppcastSize)
        return std::unexpected(tr("It is larger than %1 bytes.").arg(UpdatePolicy::MaxAppcastSize));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (!document.isObject())
        return std::unexpected(error.error != QJsonParseError::NoError
                                   ? tr("It is not JSON: %1").arg(error.errorString())
                                   : tr("It is not a JSON object."));
    const QJsonValue updates = document.object().value(QLatin1StringView("updates"));
    if (!updates.isObject())
        return std::unexpected(tr("It has no \"updates\" object."));
    const QJsonValue found = updates.toObject().value(platform);
    if (!found.isObject())
        return std::unexpected(tr("It has no entry for the platform \"%1\".").arg(platform));
    const QJsonObject entry = found.toObject();
    auto text = [&entry](const char *key) {
        return entry.value(QLatin1StringView(key)).toString();
    };

    AppcastEntry result{text("open-url"),       text("changelog"), text("download-url"),
                        text("latest-version"), std::nullopt,      {}};
    if (QVersionNumber::fromString(result.latestVersion).isNull())
        return std::unexpected(tr("Its \"latest-version\" is not a version number."));
    // The desktop opens this address: only a web page, never a local program.
    if (!result.openUrl.isEmpty()) {
        const QString scheme = QUrl(result.openUrl).scheme().toLower();
        if (scheme != QLatin1StringView("https") && scheme != QLatin1StringView("http"))
            return std::unexpected(tr("Its \"open-url\" is not a web address."));
    }
    if (entry.contains(QLatin1StringView("mandatory-update")))
        result.mandatoryUpdate = entry.value(QLatin1StringView("mandatory-update")).toBool();
    if (entry.contains(QLatin1StringView("sha256"))) {
        static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{64}$"));
        const QString sum = text("sha256");
        if (!hex.match(sum).hasMatch())
            return std::unexpected(tr("Its \"sha256\" is not a SHA-256 checksum."));
        result.sha256 = sum.toLower().toLatin1();
    }
    return result;
}

bool Appcast::isNewer(const QString &latest, const QString &current)
{
    return QVersionNumber::compare(QVersionNumber::fromString(latest),
                                   QVersionNumber::fromString(current)) > 0;
}

QString Appcast::platformKey()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("macos");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("linux");
#else
    return QSysInfo::kernelType();
#endif
}
