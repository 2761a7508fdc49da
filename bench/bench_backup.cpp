// Loads a full backup (all five sections, teeth included) with validation and
// saves it again; prints median times and the cost of loading against a bare
// QJsonDocument parse of the same bytes measured in the same run. Every round
// times each subject once, starting with a different one each round, so that
// a burst of load on the machine falls on all of them alike.
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

struct Subject
{
    const char *name;
    std::function<void()> body;
    std::vector<double> times = {};
};

double milliseconds(const std::function<void()> &body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> times)
{
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

    const QJsonDocument parsed = QJsonDocument::fromJson(bytes);
    std::vector<Subject> subjects{
        {"read + QJsonDocument parse (peer)",
         [&] {
             QFile file(in);
             file.open(QIODevice::ReadOnly);
             if (QJsonDocument::fromJson(file.readAll()).isNull())
                 std::abort();
         }},
        {"validateBackup alone",
         [&] {
             if (!validateBackup(parsed))
                 std::abort();
         }},
        {"BackupFile::load (with validation)",
         [&] {
             BackupFile file(in);
             if (!file.load())
                 std::abort();
         }},
        {"BackupDocument::load",
         [&] {
             BackupDocument d;
             if (!d.load(in))
                 std::abort();
         }},
        {"BackupDocument::save",
         [&] {
             if (!document.save(out))
                 std::abort();
         }},
    };
    const std::size_t n = subjects.size();
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < n; ++k) {
            Subject &subject = subjects[(std::size_t(round) + k) % n];
            subject.times.push_back(milliseconds(subject.body));
        }
    }

    std::printf("full backup: %lld bytes, %d rounds alternating, medians\n",
                qlonglong(bytes.size()), rounds);
    std::vector<double> medians;
    for (const Subject &subject : subjects) {
        medians.push_back(median(subject.times));
        std::printf("  %-36s %8.3f ms\n", subject.name, medians.back());
    }
    const double parse = medians[0], load = medians[2], save = medians[4];
    constexpr double Aim = 3.0;
    std::printf("ratio load-with-validation / parse: %.2f (aim: at most %.2f) %s\n", load / parse,
                Aim, load / parse <= Aim ? "met" : "MISSED");
    std::printf("ratio save / parse: %.2f\n", save / parse);
    return 0;
}
