#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

// One platform's entry of the update appcast: {"updates": {"<platform>": {...}}}.
struct AppcastEntry
{
    QString openUrl;
    QString changelog;
    QString downloadUrl;
    QString latestVersion;
    // Absent: the updater keeps its own setting.
    std::optional<bool> mandatoryUpdate;
    // Lower-case hex SHA-256 of the download; empty when the feed gives none.
    QByteArray sha256;
};

// Reading the appcast and comparing versions.
class Appcast
{
    Q_DECLARE_TR_FUNCTIONS(Appcast)
public:
    // The entry for a platform key. Anything that does not tell which version
    // is current is an error (with the reason), never "no update".
    static Result<AppcastEntry> parse(const QByteArray &data, const QString &platform);

    // True when the latest version is newer than the current one. Both are
    // read as dot-separated numbers up to the first part that is not one
    // ("24.9.0-beta" is 24.9.0), and compared segment by segment as numbers.
    static bool isNewer(const QString &latest, const QString &current);

    // The platform the program runs on, as the appcast names it: "windows",
    // "macos" or "linux" (other systems: the kernel's name).
    static QString platformKey();
};
