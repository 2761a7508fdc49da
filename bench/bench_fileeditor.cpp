// Opens a full backup (all five sections) in a Backup File Editor window until
// every sub-window is shown, against BackupDocument::load of the same file
// alone in the same run; prints both medians (process CPU time and wall time),
// their ratio, what the window adds, and the process's peak memory before and
// after the windows.
#include "backup/backupdocument.h"
#include "backup/fileviewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <time.h>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Values with many digits, as a machine's floats widened to doubles.
QJsonArray numbers(qsizetype count, int seed)
{
    QJsonArray array;
    for (qsizetype i = 0; i < count; ++i)
        array.append(double(float((seed * 131 + i * 17) % 1000) / 7.3f));
    return array;
}

QJsonObject rows(const QString &prefix, int from, int to, qsizetype count, int seed)
{
    QJsonObject object;
    for (int i = from; i <= to; ++i)
        object.insert(prefix + QString::number(i), numbers(count, seed + i));
    return object;
}

QByteArray fullBackup()
{
    QJsonObject teeth;
    for (int shape = 1; shape <= 9; ++shape)
        teeth.insert(QStringLiteral("L%1").arg(shape), rows("T", 0, 9, 64, shape * 10));
    const QJsonObject root{{"_machine", "VrkD1"},
                           {"_version", 8},
                           {"techparams", QJsonObject{{"values", numbers(256, 1)}}},
                           {"rparams", QJsonObject{{"values", numbers(256, 2)}}},
                           {"coordsys", rows("G", 54, 59, 8, 3)},
                           {"tools", rows("T", 1, 9, 8, 4)},
                           {"teeth", teeth}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

// CPU time of the process and wall time, in ms: the machines these run on are
// shared, and wall time there measures the neighbours as much as the code.
struct Clock
{
    QElapsedTimer wall;
    double cpuStart = cpuNow();
    Clock() { wall.start(); }
    static double cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    std::pair<double, double> elapsed() const
    {
        return {cpuNow() - cpuStart, double(wall.nsecsElapsed()) / 1e6};
    }
};

struct Times
{
    std::vector<double> cpu, wall;
    void add(std::pair<double, double> times)
    {
        cpu.push_back(times.first);
        wall.push_back(times.second);
    }
};

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// From construction until the window is exposed and every sub-window shown.
std::pair<double, double> openWindow(const QString &path)
{
    const Clock clock;
    auto *window = new FileViewer(path);
    window->show();
    const auto shown = [window] {
        const QList<QMdiSubWindow *> subs = window->findChild<QMdiArea *>()->subWindowList();
        return window->windowHandle() && window->windowHandle()->isExposed() && subs.size() == 5 &&
               std::all_of(subs.begin(), subs.end(), [](QWidget *w) { return w->isVisible(); });
    };
    while (!shown())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents(); // the first paint
    const auto elapsed = clock.elapsed();
    delete window;
    return elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.vrk"));
    const QByteArray bytes = fullBackup();
    if (QFile file(path); !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;

    Times loads, windows;
    for (int i = 0; i < rounds; ++i) {
        const Clock clock;
        BackupDocument document;
        if (!document.load(path))
            return 1;
        loads.add(clock.elapsed());
    }
    const double peakBefore = peakMegabytes();
    for (int i = 0; i < rounds; ++i) {
        windows.add(openWindow(path));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const double peakAfter = peakMegabytes();

    std::printf("full backup: %lld bytes, %d rounds, medians: CPU ms / wall ms\n",
                qlonglong(bytes.size()), rounds);
    std::printf("  BackupDocument::load (peer)        %8.3f / %8.3f\n", median(loads.cpu),
                median(loads.wall));
    std::printf("  FileViewer open, all sub-windows   %8.3f / %8.3f\n", median(windows.cpu),
                median(windows.wall));
    for (const auto &[name, load, window] :
         {std::tuple{"CPU", median(loads.cpu), median(windows.cpu)},
          std::tuple{"wall", median(loads.wall), median(windows.wall)}})
        std::printf("%s: ratio window / load %.2f; the window adds %.3f ms (aim: at most 100)\n",
                    name, window / load, window - load);
    std::printf("peak memory: %.1f MB after the loads, %.1f MB after the windows; the windows add "
                "%.1f MB (aim: at most 50)\n",
                peakBefore, peakAfter, peakAfter - peakBefore);
    return 0;
}
