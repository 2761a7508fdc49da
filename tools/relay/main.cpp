#include "commandline.h"
#include "quitonsignal.h"
#include "relayoptions.h"
#include "relayserver.h"
#include "updater/buildinfo.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("vrk6-relay"));
    app.setApplicationVersion(BuildInfo::version());

    const auto options = RelayOptions::parse(app.arguments());
    if (!options)
        return exitWith(options.error());

    RelayServer server;
    if (const auto listening = server.listen(options->listen, options->port); !listening)
        return startFailed(QStringLiteral("cannot listen"), listening.error());
    QuitOnSignal quitOnSignal;
    return app.exec();
}
