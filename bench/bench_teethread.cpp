// Reads the teeth block (variables 8192-13951: 96 chunks of 120 registers)
// from the simulator with ModbusConnection and with a libmodbus client, in
// alternating rounds against the same server (the first of the two changes
// every round), and prints the medians, their ratio and the aim. Absolute times on a shared machine
// mean little; the ratio does.
#include "acpu/modbusconnection.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <modbus/modbus.h>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Rounds = 21;
constexpr int First = 8192;
constexpr int Count = 5760;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double readWithConnection(Acpu::ModbusConnection &c)
{
    QElapsedTimer clock;
    clock.start();
    auto result = c.Read({{First, Count}});
    if (!result)
        return -1;
    QString error = QStringLiteral("unfinished");
    bool done = false;
    QObject::connect(*result, &Acpu::Request::finished, [&, r = *result] {
        error = r->ErrorString();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return error.isEmpty() ? clock.nsecsElapsed() / 1e6 : -1;
}

double readWithLibmodbus(modbus_t *ctx)
{
    uint16_t registers[120];
    QElapsedTimer clock;
    clock.start();
    for (int chunk = 0; chunk < Count / 60; ++chunk) {
        if (modbus_read_registers(ctx, 2 * (First + 60 * chunk), 120, registers) != 120)
            return -1;
    }
    return clock.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimProcess sim;
    if (!sim.start()) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    Acpu::ModbusConnection connection;
    connection.SetHost(sim.host());
    if (!QTest::qWaitFor([&] { return connection.State() == Acpu::Connection::Connected; }, 5000)) {
        std::fprintf(stderr, "cannot connect\n");
        return 1;
    }
    modbus_t *ctx = modbus_new_tcp("127.0.0.1", sim.port());
    modbus_set_slave(ctx, 1);
    if (modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "libmodbus cannot connect\n");
        return 1;
    }

    QList<double> ours, theirs;
    for (int round = 0; round < Rounds; ++round) {
        double a = 0, b = 0;
        if (round % 2 == 0) {
            a = readWithConnection(connection);
            b = readWithLibmodbus(ctx);
        } else {
            b = readWithLibmodbus(ctx);
            a = readWithConnection(connection);
        }
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a read failed in round %d\n", round);
            return 1;
        }
        ours.append(a);
        theirs.append(b);
    }
    modbus_close(ctx);
    modbus_free(ctx);

    const double m1 = median(ours), m2 = median(theirs);
    std::printf("teeth block read (96 x 120 registers), %d rounds alternating\n", Rounds);
    std::printf("  ModbusConnection median: %8.2f ms\n", m1);
    std::printf("  libmodbus median:        %8.2f ms\n", m2);
    constexpr double Aim = 1.10;
    std::printf("  ratio ours/libmodbus:    %8.2f (aim: at most %.2f) %s\n", m1 / m2, Aim,
                m1 / m2 <= Aim ? "met" : "MISSED");
    return 0;
}
