// vrk6-cli backup of 8 simulators that each answer 5 ms late, against the
// backup of one of them alone, in alternating rounds of the same run. With
// all machines on one event loop the 8 should take little longer than one.
// Also the tool's peak memory for the 8.
#include "bench.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <array>

namespace {
// One backup run; the tool's peak resident memory in kB (GNU time's %M) into *peakKb.
bool backup(const QStringList &hosts, const QString &dir, long *peakKb)
{
    QProcess process;
    process.start("/usr/bin/time",
                  QStringList{"-f", "%M", VRK6_CLI_PATH, "backup", "--quiet", "--dir", dir} +
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
    std::array<SimProcess, 8> sims;
    QStringList hosts;
    for (SimProcess &sim : sims) {
        if (!sim.start({QStringLiteral("--delay"), QStringLiteral("5")}))
            return Bench::fail("cannot start a simulator");
        hosts.append(sim.host());
    }
    QTemporaryDir dir;
    long peakOne = 0, peakAll = 0;
    const auto times = Bench::alternate(
        7,
        {{"1 machine", [&] { return backup(hosts.mid(0, 1), dir.path(), &peakOne); }},
         {"8 machines", [&] { return backup(hosts, dir.path(), &peakAll); }}},
        QStringLiteral("vrk6-cli backup"));
    std::printf("  peak memory: %ld kB for 1 machine, %ld kB for 8\n", peakOne, peakAll);
    const double ratio = times[1].wallMs() / times[0].wallMs();
    return Bench::aim("ratio 8 machines / 1 machine", ratio, 1.5) ? 0 : 1;
}
