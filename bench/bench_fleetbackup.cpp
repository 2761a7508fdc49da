// vrk6-cli backup of 8 simulators that each answer 5 ms late, against the
// backup of one of them alone, in alternating rounds of the same run. With
// all machines on one event loop the 8 should take little longer than one
// (aim: at most 1.5 times). Also the tool's peak memory for the 8.
#include "simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {
constexpr int Machines = 8;
constexpr int Rounds = 7;
constexpr double Aim = 1.5;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Milliseconds for one backup run, -1 on failure; the tool's peak resident
// memory in kB (GNU time's %M) into *peakKb.
double backup(const QStringList &hosts, const QString &dir, long *peakKb)
{
    QProcess process;
    QStringList args{QStringLiteral("-f"),
                     QStringLiteral("%M"),
                     QStringLiteral(VRK6_CLI_PATH),
                     QStringLiteral("backup"),
                     QStringLiteral("--quiet"),
                     QStringLiteral("--dir"),
                     dir};
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("/usr/bin/time"), args + hosts);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", process.readAllStandardError().constData());
        return -1;
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    // GNU time prints its figure as the last line of standard error.
    const QList<QByteArray> lines = process.readAllStandardError().trimmed().split('\n');
    *peakKb = lines.last().trimmed().toLong();
    return ms;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::array<SimProcess, Machines> sims;
    QStringList hosts;
    for (SimProcess &sim : sims) {
        if (!sim.start({QStringLiteral("--delay"), QStringLiteral("5")})) {
            std::fprintf(stderr, "cannot start a simulator\n");
            return 1;
        }
        hosts.append(sim.host());
    }
    QTemporaryDir dir;
    QList<double> one, all;
    long peakOne = 0, peakAll = 0;
    for (int round = 0; round < Rounds; ++round) {
        const double a = backup(hosts.mid(0, 1), dir.path(), &peakOne);
        const double b = backup(hosts, dir.path(), &peakAll);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a backup failed in round %d\n", round);
            return 1;
        }
        one.append(a);
        all.append(b);
    }
    const double ratio = median(all) / median(one);
    std::printf("backup of 1 machine:  median %.1f ms, peak memory %ld kB\n", median(one), peakOne);
    std::printf("backup of %d machines: median %.1f ms, peak memory %ld kB\n", Machines,
                median(all), peakAll);
    std::printf("ratio %d machines / 1 machine: %.2f (aim: at most %.1f)\n", Machines, ratio, Aim);
    return ratio <= Aim ? 0 : 1;
}
