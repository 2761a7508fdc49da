// The teeth editor's 100 ms automatic refresh against the simulator for 10 s:
// refreshes completed per second, and the GUI thread's CPU time per refresh
// against the bare ModbusConnection read of the same range (5760 variables)
// in the same run. The window should add at most half the read's own cost,
// and skip no refresh while the machine answers in time.
#include "acpu/modbusconnection.h"
#include "editors/teetheditor.h"
#include "model/machine.h"
#include "model/teeth.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
constexpr int BareRounds = 30;
constexpr int RunMs = 10000;
constexpr int IntervalMs = 100;

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Wall and GUI-thread CPU time of bare reads of the teeth range.
bool bareReads(Acpu::Connection &connection, QList<double> &wall, QList<double> &cpu)
{
    for (int round = 0; round < BareRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = threadCpuMs();
        if (!RunToEnd(connection.Read({{8192, Teeth::TotalValueCount}})).isEmpty())
            return false;
        cpu.append(threadCpuMs() - cpuStart);
        wall.append(clock.nsecsElapsed() / 1e6);
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SimProcess sim;
    Acpu::ModbusConnection connection;
    Machine machine(&connection);
    if (!sim.start() || !connection.SetHost(sim.host()) ||
        !QTest::qWaitFor([&] { return connection.State() == Acpu::Connection::Connected; },
                         10000) ||
        !RunToEnd(machine.requestIdentification()).isEmpty() || !machine.updateIdentification()) {
        std::fprintf(stderr, "cannot reach the simulator\n");
        return 1;
    }

    QList<double> bareWall, bareCpu;
    if (!bareReads(connection, bareWall, bareCpu)) {
        std::fprintf(stderr, "a bare read failed\n");
        return 1;
    }

    auto *editor = new TeethEditor(&machine, new Teeth);
    editor->show();
    QList<qint64> completions;
    QElapsedTimer clock;
    // Once per load, however many views repaint.
    QObject::connect(editor->group(), &ParameterGroup::DataChangedPrivate,
                     [&] { completions.append(clock.elapsed()); });
    int errors = 0;
    QObject::connect(editor->statusBar(), &QStatusBar::messageChanged, [&](const QString &text) {
        if (!text.isEmpty()) {
            ++errors;
            std::fprintf(stderr, "refresh error: %s\n", qPrintable(text));
        }
    });
    QTest::qWait(200);
    clock.start();
    const double cpuStart = threadCpuMs();
    editor->findChild<QAction *>(QStringLiteral("actionRefresh100ms"))->trigger();
    // A plain event loop: QTest::qWait sleeps between its turns, which would
    // hold every chunk's reply back.
    QEventLoop loop;
    QTimer::singleShot(RunMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double editorCpu = threadCpuMs() - cpuStart;
    const qint64 elapsed = clock.elapsed();
    delete editor;

    if (!bareReads(connection, bareWall, bareCpu) || completions.size() < 2) {
        std::fprintf(stderr, "the second bare reads or the refresh failed\n");
        return 1;
    }
    const double readWall = median(bareWall), readCpu = median(bareCpu);
    const double perRefresh = editorCpu / completions.size();
    // One cycle is the interval plus one read; a skipped refresh shows as a
    // gap of two cycles.
    const double cycle = IntervalMs + readWall;
    qint64 longest = 0;
    int skipped = 0;
    for (qsizetype i = 1; i < completions.size(); ++i) {
        const qint64 gap = completions.at(i) - completions.at(i - 1);
        longest = std::max(longest, gap);
        skipped += gap > 1.8 * cycle ? 1 : 0;
    }
    std::printf("teeth editor, 100 ms automatic refresh for %.1f s against vrk6-sim\n",
                elapsed / 1e3);
    std::printf("  bare read (5760 variables): median %.2f ms wall, %.2f ms GUI-thread CPU\n",
                readWall, readCpu);
    std::printf("  refreshes completed:        %lld (%.2f per second; %.2f expected at %.0f ms "
                "per cycle)\n",
                static_cast<long long>(completions.size()), completions.size() * 1e3 / elapsed,
                1e3 / cycle, cycle);
    std::printf("  longest gap between reads:  %lld ms; gaps of two cycles or more: %d; "
                "reads failed: %d\n",
                static_cast<long long>(longest), skipped, errors);
    std::printf("  GUI-thread CPU per refresh: %.2f ms (read included)\n", perRefresh);
    std::printf("  window on top of the read:  %+.0f %% (aim: at most +50 %%)\n",
                100.0 * (perRefresh - readCpu) / readCpu);
    return 0;
}
