// Loads a full backup (all five sections, teeth included) with validation and
// saves it again, against a bare QJsonDocument parse of the same bytes in the
// same run.
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backup/validatebackup.h"
#include "bench.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString in = dir.filePath("full.vrk"), out = dir.filePath("saved.vrk");
    const QByteArray bytes = Bench::fullBackup();
    BackupDocument document;
    if (!BackupData::write(in, bytes) || !document.load(in) || !document.save(out))
        return Bench::fail("the backup does not load and save");
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    const auto times = Bench::alternate(
        41,
        {{"read + QJsonDocument parse (peer)",
          [&] { return !QJsonDocument::fromJson(BackupData::read(in)).isNull(); }},
         {"validateBackup alone", [&] { return validateBackup(parsed).has_value(); }},
         {"BackupFile::load (with validation)", [&] { return BackupFile(in).load().has_value(); }},
         {"BackupDocument::save", [&] { return document.save(out).has_value(); }}},
        QStringLiteral("full backup: %1 bytes").arg(bytes.size()));
    const double parse = times[0].wallMs();
    std::printf("  ratio save / parse (wall): %.2f\n", times[3].wallMs() / parse);
    return Bench::aim("ratio load / parse (wall)", times[2].wallMs() / parse, 3.0) ? 0 : 1;
}
