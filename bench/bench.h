#pragma once

// What the benchmarks share: subjects timed in alternating rounds, medians,
// figures printed with the aim they are held to, a full backup with machine-like
// values, and libmodbus as the independent peer on the simulator.
#include "acpu/connection.h"
#include "backup/backupdata.h"
#include "connectto.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>

#include <modbus/modbus.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

namespace Bench {

// The value below which this share of the values lies (0.5: the median); NaN
// for none, which misses every aim.
inline double percentile(QList<double> values, double share = 0.5)
{
    std::ranges::sort(values);
    return values.isEmpty() ? qQNaN() : values.at(qsizetype(share * double(values.size() - 1)));
}

// CPU time of the calling (GUI) thread in ms: unlike wall time, it leaves out
// what the neighbours on a shared machine take.
inline double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

inline int fail(const char *why)
{
    std::fprintf(stderr, "%s\n", why);
    return 1;
}

// A name and a run that gives false when it failed.
using Subject = std::pair<const char *, std::function<bool()>>;

// Wall and GUI-thread CPU times of one subject, in ms, one per round.
struct Times
{
    QList<double> wall, cpu;
    double wallMs() const { return percentile(wall); }
    double cpuMs() const { return percentile(cpu); }
};

// Runs every subject once per round, a different one first in each round, so
// that a burst of load on the shared machine falls on all of them alike. With
// a title, prints it and each subject's medians. A failed subject ends the run
// with no times.
inline std::vector<Times> alternate(int rounds, const std::vector<Subject> &subjects,
                                    const QString &title = {})
{
    std::vector<Times> times(subjects.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < subjects.size(); ++k) {
            const std::size_t s = (std::size_t(round) + k) % subjects.size();
            QElapsedTimer wall;
            wall.start();
            const double cpu = cpuMs();
            if (!subjects[s].second()) {
                std::fprintf(stderr, "%s failed in round %d\n", subjects[s].first, round + 1);
                return std::vector<Times>(subjects.size());
            }
            times[s].cpu.append(cpuMs() - cpu);
            times[s].wall.append(double(wall.nsecsElapsed()) / 1e6);
        }
    }
    if (!title.isEmpty())
        std::printf("%s, %d rounds alternating\n", qPrintable(title), rounds);
    for (std::size_t s = 0; !title.isEmpty() && s < subjects.size(); ++s)
        std::printf("  %-36s median %9.3f ms wall, %9.3f ms CPU\n", subjects[s].first,
                    times[s].wallMs(), times[s].cpuMs());
    return times;
}

// Runs a plain event loop until it quits or ms pass: QTest's waits sleep
// 10 ms between event checks, which would hold every reply back.
inline void runFor(QEventLoop &loop, int ms)
{
    QTimer timer; // gone on return, so it cannot end a later run
    timer.callOnTimeout(&loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

// Prints a figure with the aim it is held to; true when the aim is met.
inline bool aim(const char *what, double value, double most, const char *unit = "")
{
    const bool met = value <= most;
    std::printf("  %-36s %9.2f%s (aim: at most %.2f%s) %s\n", what, value, unit, most, unit,
                met ? "met" : "MISSED");
    return met;
}

// A value of the tests' backup given many digits, as a machine's floats
// widened to doubles have: parsing them is much of what is timed.
inline QJsonValue manyDigits(const QJsonValue &value)
{
    if (value.isDouble())
        return double(float(value.toDouble()) / 7.3f);
    QJsonArray array;
    for (const QJsonValue &item : value.toArray())
        array.append(manyDigits(item));
    QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        it.value() = manyDigits(it.value());
    return value.isArray() ? array : value.isObject() ? QJsonValue(object) : value;
}

// The tests' full backup, every number given many digits.
inline QByteArray fullBackup()
{
    QJsonObject root = manyDigits(BackupData::full(QStringLiteral("VrkD1"))).toObject();
    root.insert(QStringLiteral("_version"), 8);
    return BackupData::json(root);
}

// Runs a request to its end, true on success; unlike the tests' RunToEnd it
// leaves no pause after the finish, which would be timed too.
inline bool finishes(Acpu::Connection::Result result)
{
    if (!result)
        return false;
    (*result)->SetAutoDelete(false);
    QSignalSpy finished(*result, &Acpu::Request::finished);
    if (!finished.wait(60000))
        return false;
    const bool ok = (*result)->ErrorString().isEmpty();
    delete *result;
    return ok;
}

// Times our subject against libmodbus on the same simulator in alternating
// rounds; prints the medians and their ratio with its aim. Gives the exit
// status: 0 when the aim is met.
inline int againstLibmodbus(const SimProcess &sim, int rounds, double most, const QString &title,
                            const Subject &ours, const std::function<bool(modbus_t *)> &peerRun)
{
    modbus_t *peer = modbus_new_tcp("127.0.0.1", sim.port());
    modbus_set_slave(peer, 1);
    const auto times =
        modbus_connect(peer) == 0
            ? alternate(rounds, {ours, {"libmodbus", [&] { return peerRun(peer); }}}, title)
            : std::vector<Times>(2);
    modbus_close(peer);
    modbus_free(peer);
    const double ratio = times[0].wallMs() / times[1].wallMs();
    return aim("ratio ours / libmodbus (wall)", ratio, most) ? 0 : 1;
}

} // namespace Bench
