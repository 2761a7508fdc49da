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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString base =
        QDir::tempPath() +
        QStringLiteral("/fuzz_backupfile_%1_").arg(QCoreApplication::applicationPid());
    static const QString in = base + QStringLiteral("in.vrk");
    static const QString out = base + QStringLiteral("out.vrk");
    {
        QFile file(in);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    BackupFile file(in);
    if (!file.load())
        return 0;

    BackupDocument document;
    if (!document.load(in))
        std::abort(); // BackupFile took it a moment ago
    if (!document.save(out))
        std::abort();
    // Whatever the program writes it must be able to read back.
    BackupFile saved(out);
    if (!saved.load() || saved.machine() != file.machine())
        std::abort();
    return 0;
}
