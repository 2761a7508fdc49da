#include "commandline.h"
#include "mdns/provider.h"
#include "mdns/server.h"
#include "quitonsignal.h"
#include "simmachine.h"
#include "simoptions.h"
#include "updater/buildinfo.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <optional>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("vrk6-sim"));
    app.setApplicationVersion(BuildInfo::version());

    const auto options = SimOptions::parse(app.arguments());
    if (!options)
        return exitWith(options.error());

    SimMachine machine(*options);
    if (const auto loaded = machine.loadState(); !loaded)
        return startFailed(QStringLiteral("cannot use the state file"), loaded.error());
    if (const auto started = machine.start(); !started)
        return startFailed(QStringLiteral("cannot listen"), started.error());
    // Announce the machine by DNS-SD; the provider says goodbye when main returns.
    std::optional<Mdns::Server> mdnsServer;
    std::optional<Mdns::Provider> provider;
    if (options->announce) {
        const QString name = options->instanceName();
        // The host label allows letters, digits and hyphens only.
        QString host = name;
        host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
        host.remove(QRegularExpression(QStringLiteral("^-+|-+$")));
        Mdns::Service service;
        service.setName(name.toUtf8());
        service.setType("_modbus._tcp.local.");
        service.setHostname((host.isEmpty() ? QStringLiteral("vrk6-sim") : host).toUtf8() +
                            ".local.");
        service.setPort(options->port);
        service.addAttribute(QStringLiteral("%1 serial %2 software %3.%4")
                                 .arg(MachineDescription::machineTypeTitle(options->type))
                                 .arg(options->serial)
                                 .arg(options->software / 100)
                                 .arg(options->software % 100, 2, 10, QLatin1Char('0'))
                                 .toLatin1(),
                             QByteArray());
        // Only where the listen address is: on loopback alone for 127.0.0.1.
        mdnsServer.emplace(options->listen);
        provider.emplace(&*mdnsServer);
        // Listening on every address: announce the interfaces' addresses.
        const bool any = options->listen == QHostAddress::Any ||
                         options->listen == QHostAddress::AnyIPv4 ||
                         options->listen == QHostAddress::AnyIPv6;
        provider->update(service,
                         any ? QList<QHostAddress>() : QList<QHostAddress>{options->listen});
    }
    // Stop through the event loop on SIGTERM/SIGINT: the state file is
    // written and the goodbye goes out.
    QuitOnSignal quitOnSignal;
    return app.exec();
}
