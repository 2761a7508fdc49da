// Opens a full backup (all five sections) in a Backup File Editor window until
// every sub-window is shown, and closes it, against BackupDocument::load of the
// same file alone, in alternating rounds; also the process's peak memory before
// and after the windows.
#include "backup/backupdocument.h"
#include "backup/fileviewer.h"
#include "bench.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QWindow>

#include <sys/resource.h>

namespace {
double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

bool openWindow(const QString &path)
{
    {
        FileViewer window(path);
        window.show();
        const auto subs = [&window] { return window.findChild<QMdiArea *>()->subWindowList(); };
        // Not QTest::qWaitFor: its sleeps would be timed too.
        while (!window.windowHandle() || !window.windowHandle()->isExposed() ||
               subs().size() != 5 ||
               !std::ranges::all_of(subs(), [](QWidget *w) { return w->isVisible(); }))
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::processEvents(); // the first paint
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.vrk"));
    const QByteArray bytes = Bench::fullBackup();
    const auto load = [&path] { return BackupDocument().load(path).has_value(); };
    if (!BackupData::write(path, bytes) || !load())
        return Bench::fail("the backup does not load");
    const double peakBefore = peakMegabytes();
    const auto times =
        Bench::alternate(21,
                         {{"BackupDocument::load (peer)", load},
                          {"FileViewer open and close", [&path] { return openWindow(path); }}},
                         QStringLiteral("full backup: %1 bytes").arg(bytes.size()));
    const double peakAfter = peakMegabytes();
    std::printf("  ratio window / load (wall): %.2f; CPU: %.2f\n",
                times[1].wallMs() / times[0].wallMs(), times[1].cpuMs() / times[0].cpuMs());
    std::printf("  peak memory: %.1f MB after one load, %.1f MB after the windows\n", peakBefore,
                peakAfter);
    const bool fast =
        Bench::aim("the window adds (wall)", times[1].wallMs() - times[0].wallMs(), 100, " ms");
    return Bench::aim("the windows add", peakAfter - peakBefore, 50, " MB") && fast ? 0 : 1;
}
