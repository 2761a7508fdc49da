#include "relayoptions.h"

#include <QCommandLineParser>

CommandLine<RelayOptions> RelayOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Local WebSocket relay service for VRK6 Remote Display.\n"
        "\n"
        "A client opens ws://localhost:<port>/ws/vrk6/device/<host>/ where <host> is the\n"
        "machine's address with an optional Modbus TCP port (10.0.0.5, 10.0.0.5:1502,\n"
        "[fe80::1]:1502, m1.local; port 502 when none is given). For the socket's lifetime\n"
        "the relay keeps one Modbus TCP connection to that machine and serves JSON text\n"
        "messages: \"refresh\" (answered with a \"refresh\" event showing the panel), \"key\"\n"
        "(sent to the machine), \"get_vars\" and \"set_vars\" (at most 60 variables, answered\n"
        "with \"get_vars_done\" and \"set_vars_done\" carrying the same tid).\n"
        "\n"
        "Failures:\n"
        "- Bad input (not JSON, not an object, an unknown verb, missing or wrongly typed\n"
        "  members, more than 60 values) is ignored and logged once per socket.\n"
        "- A path without a machine closes the socket with code 1008.\n"
        "- A machine that cannot be reached (or drops the connection) closes the socket with\n"
        "  code 1011 and the reason \"machine unreachable: <error>\".\n"
        "- A read or write the machine fails is never answered as done: the socket is closed\n"
        "  with code 1011 and the reason \"machine request failed: <error>\", so the client\n"
        "  sees its request fail and reconnects. A failed panel read is not answered; the\n"
        "  client asks again on its next refresh.\n"
        "- Sockets opened by web pages (any Origin header) are refused.\n"
        "Everything is logged to stderr."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Loopback address to listen on: 127.0.0.1 (default), another 127.x "
                       "address or ::1. Any other address is refused."),
        QStringLiteral("ADDR"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port (default 8000; 0 picks a free one)."),
                                  QStringLiteral("N"));
    parser.addOptions({listen, port});
    if (const auto parsed = parseCommandLine(parser, arguments); !parsed)
        return std::unexpected(parsed.error());
    if (!parser.positionalArguments().isEmpty())
        return badCommandLine(
            QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    RelayOptions options;
    if (parser.isSet(listen)) {
        if (!options.listen.setAddress(parser.value(listen)))
            return badCommandLine(
                QStringLiteral("--listen: not an IP address: %1").arg(parser.value(listen)));
        if (!options.listen.isLoopback())
            return badCommandLine(QStringLiteral("--listen: %1 is not a loopback address; the "
                                                 "relay serves this computer only")
                                      .arg(parser.value(listen)));
    }
    if (parser.isSet(port)) {
        bool ok = false;
        const uint number = parser.value(port).toUInt(&ok);
        if (!ok || number > 65535)
            return badCommandLine(
                QStringLiteral("--port: not a port number: %1").arg(parser.value(port)));
        options.port = static_cast<quint16>(number);
    }
    return options;
}
