#pragma once

#include "command.h"
#include "mdns/browser.h"
#include "mdns/cache.h"
#include "mdns/server.h"

#include <QHostAddress>
#include <QList>

// discover [--timeout SEC]: the machines that DNS-SD finds on the local
// network within the time given.
class DiscoverCommand : public Command
{
    Q_OBJECT
public:
    explicit DiscoverCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override { return QStringLiteral("[--timeout SEC] [--targets]"); }
    void start() override;

protected:
    void addOptions(QCommandLineParser &parser) override;
    Result<void> take(const QCommandLineParser &parser) override;

private:
    struct Found
    {
        Mdns::Service service;
        QList<QHostAddress> addresses;
    };
    void onAdded(const Mdns::Service &service);
    void onUpdated(const Mdns::Service &service);
    void onRemoved(const Mdns::Service &service);
    // Collects the host's addresses for every service on it.
    void resolve(const QByteArray &host);
    void report();
    // The machine's address as the other commands take it: first address and port.
    static QString target(const Found &found);

    int m_timeoutMs = 3000;
    bool m_targets = false;
    // Made in start(): the sockets open only when the command runs.
    Mdns::Server *m_server = nullptr;
    Mdns::Cache *m_cache = nullptr;
    Mdns::Browser *m_browser = nullptr;
    QList<Found> m_found;
};
