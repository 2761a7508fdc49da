// Reads the teeth block (variables 8192-13951: 96 chunks of 120 registers)
// from the simulator with ModbusConnection and with libmodbus. Absolute times
// on a shared machine mean little; the ratio does.
#include "acpu/modbusconnection.h"
#include "bench.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int First = 8192, Count = 5760;
    SimProcess sim;
    Acpu::ModbusConnection connection;
    if (!sim.start() || !ConnectTo(connection, sim.host()))
        return Bench::fail("cannot reach the simulator");
    const auto ours = [&] { return Bench::finishes(connection.Read({{First, Count}})); };
    return Bench::againstLibmodbus(
        sim, 21, 1.10, QStringLiteral("teeth block read (96 x 120 registers)"),
        {"ModbusConnection", ours}, [](modbus_t *peer) {
            uint16_t registers[120];
            for (int chunk = 0; chunk < Count / 60; ++chunk)
                if (modbus_read_registers(peer, 2 * (First + 60 * chunk), 120, registers) != 120)
                    return false;
            return true;
        });
}
