// Key echo: the time from SendKey to the changed display text at the
// connection, against the simulator over Modbus TCP, with polling on as the
// main window runs it. Keys are pressed at random moments of the poll cycle.
// Prints the median and 90th percentile, their ratio to the poll interval,
// and the idle refresh rate (which the key refresh must leave alone).
#include "acpu/modbusconnection.h"
#include "bench.h"

#include <QCoreApplication>
#include <QRandomGenerator>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int Keys = 60;
    constexpr double PollMs = 200;
    SimProcess sim;
    Acpu::ModbusConnection c;
    Acpu::Display display;
    QEventLoop loop; // quit early by the key's echo
    QList<double> echo;
    QElapsedTimer clock;
    QString before;
    bool waiting = false;
    QObject::connect(&c, &Acpu::Connection::pollingFinished, &display, [&] {
        c.GetDisplay(display);
        if (waiting && display.line3() != before) {
            echo.append(double(clock.nsecsElapsed()) / 1e6);
            waiting = false;
            loop.quit();
        }
    });
    if (!sim.start() || !ConnectTo(c, sim.host()))
        return Bench::fail("cannot reach the simulator");
    c.StartPolling();
    if (!QTest::qWaitFor([&] { return !display.line1().trimmed().isEmpty(); }, 10000))
        return Bench::fail("no panel from the simulator");
    QSignalSpy polled(&c, &Acpu::Connection::pollingFinished);
    Bench::runFor(loop, 3000);
    const double idleRate = polled.size() / 3.0;

    for (int i = 0; i < Keys; ++i) {
        Bench::runFor(loop, int(QRandomGenerator::global()->bounded(PollMs)));
        before = display.line3();
        waiting = true;
        clock.start();
        c.SendKey('0' + i % 10);
        Bench::runFor(loop, 5000);
        if (waiting)
            return Bench::fail("a key never showed");
    }
    const double median = Bench::percentile(echo), p90 = Bench::percentile(echo, 0.9);
    std::printf("key echo over %d keys: median %.1f ms, 90th percentile %.1f ms, max %.1f ms\n",
                Keys, median, p90, Bench::percentile(echo, 1.0));
    std::printf("  median / poll interval %.3f, 90th percentile / poll interval %.3f\n",
                median / PollMs, p90 / PollMs);
    std::printf("  idle refreshes per second %.2f (poll interval %.0f ms)\n", idleRate, PollMs);
    return Bench::aim("median key echo", median, 20, " ms") ? 0 : 1;
}
