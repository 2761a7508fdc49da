// Uploads a 100 KiB program into the simulator's upload window: the request
// ProgramSender sends (state word, then the window once per 60 words) against
// libmodbus writing the same chunks, in alternating rounds against the same
// server.
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
    if (!Bench::connectToSimulator(sim, connection,
                                   {QStringLiteral("--programs"), programs.path()}))
        return 1;
    QByteArray program;
    for (int i = 0; i < 100 * 1024; ++i)
        program.append(i % 64 == 63 ? '\n' : char('A' + i % 26));
    const ProgramSender::Image image = ProgramSender::makeImage(program);
    const Acpu::VarRanges ranges = ProgramSender::uploadRanges(image.size());
    QList<uint16_t> registers;
    for (const Acpu::Value &word : image) {
        const quint32 bits = Acpu::ValueBits(word);
        registers << uint16_t(bits & 0xFFFF) << uint16_t(bits >> 16);
    }
    const QList<Acpu::Value> values = QList<Acpu::Value>{ProgramSender::StartState} + image;
    const auto ours = [&] { return Bench::finishes(connection.Write(ranges, values)); };
    return Bench::againstLibmodbus(
        sim, 11, 1.2,
        QStringLiteral("100 KiB program upload (%1 words, %2 transactions)")
            .arg(image.size())
            .arg(ranges.size()),
        {"ProgramSender's request", ours}, [&](modbus_t *peer) {
            const uint16_t state[2] = {ProgramSender::StartState, 0};
            if (modbus_write_registers(peer, 2 * ProgramSender::StateVariable, 2, state) != 2)
                return false;
            for (qsizetype at = 0; at < image.size(); at += ProgramSender::WindowLength) {
                const int words =
                    int(std::min<qsizetype>(ProgramSender::WindowLength, image.size() - at));
                if (modbus_write_registers(peer, 2 * ProgramSender::WindowVariable, 2 * words,
                                           registers.constData() + 2 * at) != 2 * words)
                    return false;
            }
            return true;
        });
}
