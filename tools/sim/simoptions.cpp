#include "simoptions.h"

#include <QCommandLineParser>

#include <cmath>

namespace {
bool toUInt(const QString &text, uint *out, uint max = 0xFFFFFFFFu)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value > max)
        return false;
    *out = static_cast<uint>(value);
    return true;
}
} // namespace

QString SimOptions::instanceName() const
{
    if (!name.isEmpty())
        return name;
    return QStringLiteral("%1 %2").arg(MachineDescription::machineTypeTitle(type)).arg(serial);
}

CommandLine<SimOptions> SimOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated VRK/ZUM control unit: a Modbus TCP server (unit id 1) with the\n"
        "machine's panel, identification, parameter memory and program upload window.\n"
        "\n"
        "Panel: the display shows the machine on line 1, the characters typed so far\n"
        "on line 2 (printable keys append, Escape clears, Shift+Delete (0x08) erases\n"
        "one), the last key code and the number of keys on line 3, the mode on line 4.\n"
        "Keys: F1 (0x81) toggles the Run lamp, F2 (0x82) selects step by step,\n"
        "F3 (0x83) continual, F4 (0x84) raises the Error lamp, F5 (0x85) clears it.\n"
        "Every connection and every key is logged to stderr."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                    QStringLiteral("ADDR"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port (default 1502)."), QStringLiteral("N"));
    const QCommandLineOption type(
        QStringLiteral("type"),
        QStringLiteral("Machine type enum name: VrkA1, VrkB1, VrkA2, VrkB2, VrkA3, VrkC1, ZumB1, "
                       "VrkD1, VrkE1, InOutTest, Unknown (default VrkC1)."),
        QStringLiteral("NAME"));
    const QCommandLineOption version(
        QStringLiteral("model-version"),
        QStringLiteral("Data-model version, variable 268 (default 8)."), QStringLiteral("N"));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Serial number, variable 265 (default 1000)."),
                                    QStringLiteral("N"));
    const QCommandLineOption bn(QStringLiteral("bn"),
                                QStringLiteral("B/N number, variable 258 (default 0)."),
                                QStringLiteral("N"));
    const QCommandLineOption software(
        QStringLiteral("software"),
        QStringLiteral("Software version in hundredths, variable 266 (default 612)."),
        QStringLiteral("N"));
    const QCommandLineOption state(QStringLiteral("state"),
                                   QStringLiteral("Keep the variables in this file across runs."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption programs(
        QStringLiteral("programs"),
        QStringLiteral("Directory for uploaded programs (default: a temporary directory)."),
        QStringLiteral("DIR"));
    const QCommandLineOption result(
        QStringLiteral("upload-result"),
        QStringLiteral("Result code written to variable 514 after an upload (default 2)."),
        QStringLiteral("N"));
    const QCommandLineOption disabled(
        QStringLiteral("upload-disabled"),
        QStringLiteral("Variable 512 reads 0: the machine is not ready for an upload."));
    const QCommandLineOption delay(
        QStringLiteral("delay"),
        QStringLiteral("Answer every request this many milliseconds later (default 0)."),
        QStringLiteral("MS"));
    const QCommandLineOption exceptions(
        QStringLiteral("exception-range"),
        QStringLiteral(
            "Answer reads and writes touching variables START..START+LEN-1 with an exception."),
        QStringLiteral("START:LEN"));
    const QCommandLineOption drop(
        QStringLiteral("drop-after"),
        QStringLiteral("Close the connection after N transactions (default never)."),
        QStringLiteral("N"));
    const QCommandLineOption clamp(
        QStringLiteral("clamp"),
        QStringLiteral("Store float values written to variables START..START+LEN-1 clamped to "
                       "MAX, without an error, as a machine that limits a value silently. "
                       "May be given more than once."),
        QStringLiteral("START:LEN:MAX"));
    const QCommandLineOption logWrites(
        QStringLiteral("log-writes"),
        QStringLiteral("Log every write as \"write FIRST LEN\" (variables) to stderr."));
    const QCommandLineOption name(
        QStringLiteral("name"),
        QStringLiteral("DNS-SD instance name (default: machine type and serial number)."),
        QStringLiteral("NAME"));
    const QCommandLineOption noAnnounce(QStringLiteral("no-announce"),
                                        QStringLiteral("Do not announce the machine by DNS-SD."));
    parser.addOptions({listen, port, type, version, serial, bn, software, state, programs, result,
                       disabled, delay, exceptions, drop, clamp, logWrites, name, noAnnounce});
    if (const auto parsed = parseCommandLine(parser, arguments); !parsed)
        return std::unexpected(parsed.error());
    // A mistyped option value (e.g. "--type ZumB1 42") must not start a machine
    // other than the one asked for.
    if (!parser.positionalArguments().isEmpty())
        return badCommandLine(
            QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    SimOptions o;
    if (parser.isSet(listen) && !o.listen.setAddress(parser.value(listen)))
        return badCommandLine(
            QStringLiteral("--listen: not an IP address: %1").arg(parser.value(listen)));
    uint number = 0;
    if (parser.isSet(port)) {
        if (!toUInt(parser.value(port), &number, 65535) || number == 0)
            return badCommandLine(QStringLiteral("--port: not a port number"));
        o.port = static_cast<quint16>(number);
    }
    if (parser.isSet(type)) {
        o.type = MachineDescription::machineTypeFromName(parser.value(type));
        if (o.type == Unknown &&
            parser.value(type).compare(QStringLiteral("Unknown"), Qt::CaseInsensitive))
            return badCommandLine(
                QStringLiteral("--type: unknown machine type %1").arg(parser.value(type)));
    }
    struct Number
    {
        const QCommandLineOption *option;
        uint *target;
        uint max;
    };
    const Number numbers[] = {{&version, &o.modelVersion, 0xFFFFFFFFu},
                              {&serial, &o.serial, 0xFFFFFFFFu},
                              {&bn, &o.bn, 0xFFFFFFFFu},
                              {&software, &o.software, 0xFFFFFFFFu},
                              {&result, &o.uploadResult, 0xFFFFFFFFu},
                              {&delay, &o.delayMs, 60000},
                              {&drop, &o.dropAfter, 1000000000}};
    for (const Number &n : numbers) {
        if (parser.isSet(*n.option) && !toUInt(parser.value(*n.option), n.target, n.max))
            return badCommandLine(QStringLiteral("--%1: not a number up to %2")
                                      .arg(n.option->names().constFirst())
                                      .arg(n.max));
    }
    if (parser.isSet(exceptions)) {
        const QStringList parts = parser.value(exceptions).split(QLatin1Char(':'));
        uint start = 0, length = 0;
        if (parts.size() != 2 || !toUInt(parts[0], &start, 32767) ||
            !toUInt(parts[1], &length, 32768))
            return badCommandLine(QStringLiteral("--exception-range: expected START:LEN"));
        o.exceptionStart = static_cast<int>(start);
        o.exceptionLength = static_cast<int>(length);
    }
    for (const QString &value : parser.values(clamp)) {
        const QStringList parts = value.split(QLatin1Char(':'));
        uint start = 0, length = 0;
        bool ok = parts.size() == 3 && toUInt(parts[0], &start, 32767) &&
                  toUInt(parts[1], &length, 32768 - start);
        const float max = ok ? parts[2].toFloat(&ok) : 0;
        if (!ok || !std::isfinite(max))
            return badCommandLine(
                QStringLiteral("--clamp: expected START:LEN:MAX, got %1").arg(value));
        o.clamps.append({static_cast<int>(start), static_cast<int>(length), max});
    }
    o.logWrites = parser.isSet(logWrites);
    o.stateFile = parser.value(state);
    o.programsDir = parser.value(programs);
    o.uploadDisabled = parser.isSet(disabled);
    o.name = parser.value(name);
    o.announce = !parser.isSet(noAnnounce);
    return o;
}
