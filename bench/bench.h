#pragma once

// What the benchmarks share: subjects timed in alternating rounds, medians,
// figures printed with the aim they are held to, a full backup with machine-like
// values, and the simulator with a connection and a libmodbus peer on it.
#include "acpu/connection.h"
#include "backup/backupdata.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>

#include <modbus/modbus.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace Bench {

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// CPU time of the calling (GUI) thread in ms: unlike wall time, it leaves out
// what the neighbours on a shared machine take.
inline double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall and GUI-thread CPU times of one subject, in ms, one per round.
struct Times
{
    QList<double> wall, cpu;
};

// Runs every subject once per round, a different one first in each round, so
// that a burst of load on the shared machine falls on all of them alike. A
// subject returns false when it failed; that ends the run with no times.
inline std::vector<Times> alternate(int rounds, const std::vector<std::function<bool()>> &subjects)
{
    std::vector<Times> times(subjects.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < subjects.size(); ++k) {
            const std::size_t s = (std::size_t(round) + k) % subjects.size();
            QElapsedTimer wall;
            wall.start();
            const double cpu = cpuMs();
            if (!subjects[s]()) {
                std::fprintf(stderr, "subject %zu failed in round %d\n", s + 1, round + 1);
                return {};
            }
            times[s].cpu.append(cpuMs() - cpu);
            times[s].wall.append(double(wall.nsecsElapsed()) / 1e6);
        }
    }
    return times;
}

// One line per subject: median wall and CPU time.
inline void printMedians(const std::vector<const char *> &names, const std::vector<Times> &times)
{
    for (std::size_t s = 0; s < names.size(); ++s)
        std::printf("  %-36s median %9.3f ms wall, %9.3f ms CPU\n", names[s], median(times[s].wall),
                    median(times[s].cpu));
}

// Prints a figure with the aim it is held to; true when the aim is met.
inline bool aim(const char *what, double value, double most, const char *unit = "")
{
    const bool met = value <= most;
    std::printf("  %-36s %9.2f%s (aim: at most %.2f%s) %s\n", what, value, unit, most, unit,
                met ? "met" : "MISSED");
    return met;
}

// The tests' full backup, every number given many digits, as a machine's
// floats widened to doubles have: parsing them is much of what is timed.
inline QByteArray fullBackup()
{
    const std::function<QJsonValue(const QJsonValue &)> digits =
        [&digits](const QJsonValue &value) -> QJsonValue {
        if (value.isDouble())
            return double(float(value.toDouble()) / 7.3f);
        if (value.isArray()) {
            QJsonArray array;
            for (const QJsonValue &item : value.toArray())
                array.append(digits(item));
            return array;
        }
        if (!value.isObject())
            return value;
        QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            it.value() = digits(it.value());
        return object;
    };
    QJsonObject root = digits(BackupData::full(QStringLiteral("VrkD1"))).toObject();
    root.insert(QStringLiteral("_version"), 8);
    return BackupData::json(root);
}

// Runs a request to its end, true on success. Unlike the tests' RunToEnd it
// leaves no pause after the finish, which would be timed too.
inline bool finishes(Acpu::Connection::Result result)
{
    if (!result)
        return false;
    QEventLoop loop;
    bool ok = false;
    QObject::connect(*result, &Acpu::Request::finished, &loop, [&, request = *result] {
        ok = request->ErrorString().isEmpty();
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return ok;
}

// Starts the simulator with these options and connects to it; says why not.
inline bool connectToSimulator(SimProcess &sim, Acpu::Connection &connection,
                               const QStringList &options = {})
{
    if (sim.start(options) && connection.SetHost(sim.host()) &&
        QTest::qWaitFor([&] { return connection.State() == Acpu::Connection::Connected; }, 10000))
        return true;
    std::fprintf(stderr, "cannot reach the simulator\n");
    return false;
}

// Times our subject against libmodbus, the independent peer, on the same
// simulator in alternating rounds; prints the medians and their ratio with its
// aim. Gives the exit status: 0 when the aim is met.
inline int againstLibmodbus(const SimProcess &sim, int rounds, double most, const QString &title,
                            const char *ours, const std::function<bool()> &subject,
                            const std::function<bool(modbus_t *)> &peerSubject)
{
    modbus_t *peer = modbus_new_tcp("127.0.0.1", sim.port());
    modbus_set_slave(peer, 1);
    if (modbus_connect(peer) != 0) {
        std::fprintf(stderr, "libmodbus cannot connect\n");
        modbus_free(peer);
        return 1;
    }
    const auto times = alternate(rounds, {subject, [&] { return peerSubject(peer); }});
    modbus_close(peer);
    modbus_free(peer);
    if (times.empty())
        return 1;
    std::printf("%s, %d rounds alternating\n", qPrintable(title), rounds);
    printMedians({ours, "libmodbus"}, times);
    const double ratio = median(times[0].wall) / median(times[1].wall);
    return aim("ratio ours / libmodbus (wall)", ratio, most) ? 0 : 1;
}

} // namespace Bench
