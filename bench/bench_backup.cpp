// Loads a full backup (all five sections, teeth included) with validation and
// saves it again; prints median times and the cost of loading against a bare
// QJsonDocument parse of the same bytes measured in the same run.
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backup/validatebackup.h"
#include "model/parametergroup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Values as a machine hands them over: floats widened to doubles, so most
// carry many digits.
QJsonArray machineNumbers(qsizetype count, int seed)
{
    QJsonArray array;
    for (qsizetype i = 0; i < count; ++i)
        array.append(double(float((seed * 131 + i * 17) % 1000) / 7.3f));
    return array;
}

QJsonObject fullBackup()
{
    QJsonObject root{{"_machine", "VrkD1"}, {"_version", 8}};
    root.insert("techparams", QJsonObject{{"values", machineNumbers(256, 1)}});
    root.insert("rparams", QJsonObject{{"values", machineNumbers(256, 2)}});
    QJsonObject coordsys, tools, teeth;
    for (int g = 54; g <= 59; ++g)
        coordsys.insert(QStringLiteral("G%1").arg(g), machineNumbers(8, g));
    for (int t = 1; t <= 9; ++t)
        tools.insert(QStringLiteral("T%1").arg(t), machineNumbers(8, t));
    for (int s = 1; s <= 9; ++s) {
        QJsonObject shape;
        for (int t = 0; t <= 9; ++t)
            shape.insert(QStringLiteral("T%1").arg(t), machineNumbers(64, s * 10 + t));
        teeth.insert(QStringLiteral("L%1").arg(s), shape);
    }
    root.insert("coordsys", coordsys);
    root.insert("tools", tools);
    root.insert("teeth", teeth);
    return root;
}

// Median of rounds runs of body, in milliseconds.
double median(int rounds, const std::function<void()> &body)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 41;
    QTemporaryDir dir;
    const QString in = dir.filePath("full.vrk");
    const QString out = dir.filePath("saved.vrk");
    const QByteArray bytes = QJsonDocument(fullBackup()).toJson(QJsonDocument::Compact);
    {
        QFile file(in);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    BackupDocument document;
    if (!document.load(in) || !document.save(out)) {
        std::fprintf(stderr, "the backup does not load and save\n");
        return 1;
    }

    const double parse = median(rounds, [&] {
        QFile file(in);
        file.open(QIODevice::ReadOnly);
        if (QJsonDocument::fromJson(file.readAll()).isNull())
            std::abort();
    });
    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    const double validate = median(rounds, [&] {
        if (!validateBackup(parsed))
            std::abort();
    });
    const double load = median(rounds, [&] {
        BackupFile file(in);
        if (!file.load())
            std::abort();
    });
    const double documentLoad = median(rounds, [&] {
        BackupDocument d;
        if (!d.load(in))
            std::abort();
    });
    const double save = median(rounds, [&] {
        if (!document.save(out))
            std::abort();
    });

    std::printf("full backup: %lld bytes, %d rounds, medians\n", qlonglong(bytes.size()), rounds);
    std::printf("  read + QJsonDocument parse (peer)   %8.3f ms\n", parse);
    std::printf("  validateBackup alone                %8.3f ms\n", validate);
    std::printf("  BackupFile::load (with validation)  %8.3f ms\n", load);
    std::printf("  BackupDocument::load                %8.3f ms\n", documentLoad);
    std::printf("  BackupDocument::save                %8.3f ms\n", save);
    std::printf("ratio load-with-validation / parse: %.2f (aim: at most 3)\n", load / parse);
    std::printf("ratio save / parse: %.2f\n", save / parse);
    return 0;
}
