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
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 41;
    QTemporaryDir dir;
    const QString in = dir.filePath("full.vrk"), out = dir.filePath("saved.vrk");
    const QByteArray bytes = Bench::fullBackup();
    BackupDocument document;
    if (!BackupData::write(in, bytes) || !document.load(in) || !document.save(out)) {
        std::fprintf(stderr, "the backup does not load and save\n");
        return 1;
    }
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    const auto times =
        Bench::alternate(rounds, {[&] {
                                      QFile file(in);
                                      return file.open(QIODevice::ReadOnly) &&
                                             !QJsonDocument::fromJson(file.readAll()).isNull();
                                  },
                                  [&] { return validateBackup(parsed).has_value(); },
                                  [&] { return BackupFile(in).load().has_value(); },
                                  [&] { return document.save(out).has_value(); }});
    if (times.empty())
        return 1;
    std::printf("full backup: %lld bytes, %d rounds alternating\n", qlonglong(bytes.size()),
                rounds);
    Bench::printMedians({"read + QJsonDocument parse (peer)", "validateBackup alone",
                         "BackupFile::load (with validation)", "BackupDocument::save"},
                        times);
    const double parse = Bench::median(times[0].wall);
    std::printf("  ratio save / parse (wall): %.2f\n", Bench::median(times[3].wall) / parse);
    return Bench::aim("ratio load / parse (wall)", Bench::median(times[2].wall) / parse, 3.0) ? 0
                                                                                              : 1;
}
