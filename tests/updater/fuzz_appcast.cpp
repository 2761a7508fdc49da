// Appcasts come from a server (or whoever answers in its place): whatever
// they hold, parsing ends with an entry or a reason, and the download's file
// name stays inside the download directory.
#include "updater/appcast.h"
#include "updater/updatepolicy.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdint>
#include <cstdlib>

namespace {
void CheckName(const QUrl &url)
{
    static const QDir directory(QStringLiteral("/downloads"));
    const QString name = UpdatePolicy::safeFileName(url);
    if (!UpdatePolicy::isSafeFileName(name) ||
        QFileInfo(directory.filePath(name)).absolutePath() != directory.absolutePath())
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &platform : {QStringLiteral("linux"), QStringLiteral("windows")}) {
        const auto entry = Appcast::parse(bytes, platform);
        if (!entry) {
            if (entry.error().isEmpty())
                std::abort();
            continue;
        }
        if (!(entry->sha256.isEmpty() || entry->sha256.size() == 64))
            std::abort();
        Appcast::isNewer(entry->latestVersion, QStringLiteral("24.8.8"));
        const QUrl download(entry->downloadUrl);
        UpdatePolicy::isAllowedAddress(download);
        CheckName(download);
    }
    // The same bytes as an address.
    CheckName(QUrl(QString::fromUtf8(bytes)));
    return 0;
}
