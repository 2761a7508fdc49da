// Uploads a 100 KiB program into the simulator's upload window: the request
// ProgramSender sends (state word, then the window once per 60 words)
// against libmodbus writing the same chunks, in alternating rounds against
// the same server. Prints the medians and their ratio.
#include "acpu/modbusconnection.h"
#include "backup/programsender.h"
#include "requestresult.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <modbus/modbus.h>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Rounds = 11;
constexpr int ProgramBytes = 100 * 1024;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double uploadWithConnection(Acpu::ModbusConnection &c, const ProgramSender::Image &image)
{
    QList<Acpu::Value> values{ProgramSender::StartState};
    values += image;
    QElapsedTimer clock;
    clock.start();
    const QString error = RunToEnd(c.Write(ProgramSender::uploadRanges(image.size()), values));
    return error.isEmpty() ? clock.nsecsElapsed() / 1e6 : -1;
}

double uploadWithLibmodbus(modbus_t *ctx, const ProgramSender::Image &image)
{
    QList<uint16_t> registers;
    for (const Acpu::Value &word : image) {
        const quint32 bits = Acpu::ValueBits(word);
        registers << uint16_t(bits & 0xFFFF) << uint16_t(bits >> 16);
    }
    const uint16_t state[2] = {ProgramSender::StartState, 0};
    QElapsedTimer clock;
    clock.start();
    if (modbus_write_registers(ctx, 2 * ProgramSender::StateVariable, 2, state) != 2)
        return -1;
    for (qsizetype at = 0; at < image.size(); at += ProgramSender::WindowLength) {
        const int words = int(std::min<qsizetype>(ProgramSender::WindowLength, image.size() - at));
        if (modbus_write_registers(ctx, 2 * ProgramSender::WindowVariable, 2 * words,
                                   registers.constData() + 2 * at) != 2 * words)
            return -1;
    }
    return clock.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir programs;
    SimProcess sim;
    if (!sim.start({QStringLiteral("--programs"), programs.path()})) {
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
    QByteArray program;
    for (int i = 0; i < ProgramBytes; ++i)
        program.append(i % 64 == 63 ? '\n' : char('A' + i % 26));
    const ProgramSender::Image image = ProgramSender::makeImage(program);

    QList<double> ours, theirs;
    for (int round = 0; round < Rounds; ++round) {
        const double a = uploadWithConnection(connection, image);
        const double b = uploadWithLibmodbus(ctx, image);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "an upload failed in round %d\n", round);
            return 1;
        }
        ours.append(a);
        theirs.append(b);
    }
    modbus_close(ctx);
    modbus_free(ctx);

    const double m1 = median(ours), m2 = median(theirs);
    std::printf("100 KiB program upload (%lld words, %lld transactions), %d rounds alternating\n",
                qint64(image.size()), qint64(ProgramSender::uploadRanges(image.size()).size()),
                Rounds);
    std::printf("  ProgramSender's request median: %8.2f ms\n", m1);
    std::printf("  libmodbus median:               %8.2f ms\n", m2);
    std::printf("  ratio ours/libmodbus:           %8.2f (aim: at most 1.2)\n", m1 / m2);
    return 0;
}
