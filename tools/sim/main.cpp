#include "simmachine.h"
#include "simoptions.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("vrk6-sim"));

    QString message;
    const auto options = SimOptions::parse(app.arguments(), &message);
    if (!options) {
        const bool help = app.arguments().contains(QStringLiteral("--help")) ||
                          app.arguments().contains(QStringLiteral("-h"));
        std::fprintf(help ? stdout : stderr, "%s\n", qPrintable(message));
        return help ? 0 : 2;
    }

    SimMachine machine(*options);
    if (!machine.start(&message)) {
        std::fprintf(stderr, "vrk6-sim: cannot listen: %s\n", qPrintable(message));
        return 1;
    }
    // Stop cleanly on SIGTERM/SIGINT so the state file is written.
    for (int sig : {SIGTERM, SIGINT})
        std::signal(sig, [](int) { QCoreApplication::quit(); });
    return app.exec();
}
