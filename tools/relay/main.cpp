#include "quitonsignal.h"
#include "relayoptions.h"
#include "relayserver.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("vrk6-relay"));

    QString message;
    const auto options = RelayOptions::Parse(app.arguments(), &message);
    if (!options) {
        const bool help = app.arguments().contains(QStringLiteral("--help")) ||
                          app.arguments().contains(QStringLiteral("-h"));
        std::fprintf(help ? stdout : stderr, "%s\n", qPrintable(message));
        return help ? 0 : 2;
    }

    RelayServer server;
    if (!server.Listen(options->listen, options->port, &message)) {
        std::fprintf(stderr, "vrk6-relay: cannot listen: %s\n", qPrintable(message));
        return 1;
    }
    QuitOnSignal quitOnSignal;
    return app.exec();
}
