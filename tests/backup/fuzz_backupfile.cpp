// Feeds arbitrary bytes to BackupFile::load as a file on disk; what loads is
// opened as a BackupDocument, saved and must load again.
#include "backup/backupdocument.h"
#include "backup/backupfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
const QString &path(const char *name)
{
    static const QString base =
        QDir::tempPath() +
        QStringLiteral("/fuzz_backupfile_%1_").arg(QCoreApplication::applicationPid());
    static QString in = base + QStringLiteral("in.vrk");
    static QString out = base + QStringLiteral("out.vrk");
    return name[0] == 'i' ? in : out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(path("in"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    BackupFile file(path("in"));
    if (!file.load())
        return 0;

    BackupDocument document;
    if (!document.load(path("in")))
        std::abort(); // BackupFile took it a moment ago
    if (!document.save(path("out")))
        std::abort();
    // Whatever the program writes it must be able to read back.
    BackupFile saved(path("out"));
    if (!saved.load() || saved.machine() != file.machine())
        std::abort();
    return 0;
}
