// vrk6-cli backup of 8 simulators that each answer 5 ms late, against the
// backup of one of them alone, in alternating rounds of the same run. With
// all machines on one event loop the 8 should take little longer than one.
// Also the tool's peak memory for the 8.
#include "bench.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <array>

namespace {
constexpr int Machines = 8;
constexpr int Rounds = 7;

// One backup run; the tool's peak resident memory in kB (GNU time's %M) into *peakKb.
bool backup(const QStringList &hosts, const QString &dir, long *peakKb)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/time"),
                  QStringList{QStringLiteral("-f"), QStringLiteral("%M"),
                              QStringLiteral(VRK6_CLI_PATH), QStringLiteral("backup"),
                              QStringLiteral("--quiet"), QStringLiteral("--dir"), dir} +
                      hosts);
    const bool ok = process.waitForFinished(120000) && process.exitCode() == 0;
    const QByteArray errors = process.readAllStandardError().trimmed();
    if (!ok)
        std::fprintf(stderr, "%s\n", errors.constData());
    // GNU time prints its figure as the last line of standard error.
    *peakKb = errors.split('\n').last().trimmed().toLong();
    return ok;
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
    long peakOne = 0, peakAll = 0;
    const auto times =
        Bench::alternate(Rounds, {[&] { return backup(hosts.mid(0, 1), dir.path(), &peakOne); },
                                  [&] { return backup(hosts, dir.path(), &peakAll); }});
    if (times.empty())
        return 1;
    const double one = Bench::median(times[0].wall), all = Bench::median(times[1].wall);
    std::printf("vrk6-cli backup, %d rounds alternating\n", Rounds);
    std::printf("  1 machine:  median %.1f ms, peak memory %ld kB\n", one, peakOne);
    std::printf("  %d machines: median %.1f ms, peak memory %ld kB\n", Machines, all, peakAll);
    return Bench::aim("ratio 8 machines / 1 machine", all / one, 1.5) ? 0 : 1;
}
