// Uploads a 100 KiB program into the simulator's upload window: the request
// ProgramSender sends (state word, then the window once per 60 words) against
// libmodbus writing the same chunks to the same server, in alternating rounds.
#include "acpu/modbusconnection.h"
#include "backup/programsender.h"
#include "bench.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir programs;
    SimProcess sim;
    Acpu::ModbusConnection connection;
    if (!sim.start({QStringLiteral("--programs"), programs.path()}) ||
        !ConnectTo(connection, sim.host()))
        return Bench::fail("cannot reach the simulator");
    QByteArray program;
    for (int i = 0; i < 100 * 1024; ++i)
        program.append(i % 64 == 63 ? '\n' : char('A' + i % 26));
    const ProgramSender::Image image = ProgramSender::makeImage(program);
    const Acpu::VarRanges ranges = ProgramSender::uploadRanges(image.size());
    QList<uint16_t> registers{ProgramSender::StartState, 0};
    for (const Acpu::Value &word : image)
        registers << uint16_t(Acpu::ValueBits(word) & 0xFFFF)
                  << uint16_t(Acpu::ValueBits(word) >> 16);
    const QList<Acpu::Value> values = QList<Acpu::Value>{ProgramSender::StartState} + image;
    const auto ours = [&] { return Bench::finishes(connection.Write(ranges, values)); };
    // Our ranges, written as they are by libmodbus.
    const auto peer = [&](modbus_t *modbus) {
        const uint16_t *next = registers.constData();
        for (const Acpu::VarRange &range : ranges) {
            const int count = 2 * int(range.length);
            if (modbus_write_registers(modbus, 2 * range.start, count, next) != count)
                return false;
            next += count;
        }
        return true;
    };
    const QString title = QStringLiteral("100 KiB program upload (%1 words, %2 transactions)");
    return Bench::againstLibmodbus(sim, 11, 1.2, title.arg(image.size()).arg(ranges.size()),
                                   {"ProgramSender's request", ours}, peer);
}
