#include "discovercommand.h"

#include "mdns/resolver.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

DiscoverCommand::DiscoverCommand(QObject *parent)
    : Command(QStringLiteral("discover"), Files, parent)
{
}

QString DiscoverCommand::summary() const
{
    return QStringLiteral("Lists the machines that announce themselves by DNS-SD "
                          "(_modbus._tcp) on the local network: instance name, host:port, "
                          "addresses and description.");
}

void DiscoverCommand::addOptions(QCommandLineParser &parser)
{
    parser.addOptions({{QStringLiteral("timeout"), QStringLiteral("Listen this long (default 3)."),
                        QStringLiteral("SEC")},
                       {QStringLiteral("targets"),
                        QStringLiteral("Print only each machine's address as the other commands "
                                       "take it (ADDRESS:PORT), one per line.")}});
}

Result<void> DiscoverCommand::take(const QCommandLineParser &parser)
{
    if (!parser.positionalArguments().isEmpty())
        return std::unexpected(QStringLiteral("discover takes no arguments"));
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        const double seconds = parser.value(QStringLiteral("timeout")).toDouble(&ok);
        // Written so that "nan", which converts, is refused too.
        if (!ok || !(seconds > 0 && seconds <= 3600))
            return std::unexpected(
                QStringLiteral("--timeout: give seconds, more than 0 and up to 3600"));
        m_timeoutMs = static_cast<int>(seconds * 1000);
    }
    m_targets = parser.isSet(QStringLiteral("targets"));
    return {};
}

void DiscoverCommand::start()
{
    m_server = new Mdns::Server(this);
    m_cache = new Mdns::Cache(this);
    m_browser = new Mdns::Browser(m_server, "_modbus._tcp.local.", m_cache, this);
    connect(m_server, &Mdns::Server::error, this,
            [this](const QString &message) { m_out.failure(QStringLiteral("discover"), message); });
    connect(m_browser, &Mdns::Browser::serviceAdded, this, &DiscoverCommand::onAdded);
    connect(m_browser, &Mdns::Browser::serviceUpdated, this, &DiscoverCommand::onUpdated);
    connect(m_browser, &Mdns::Browser::serviceRemoved, this, &DiscoverCommand::onRemoved);
    // A machine given a new address announces it and the old one goes stale.
    connect(m_cache, &Mdns::Cache::recordExpired, this, [this](const Mdns::Record &record) {
        for (Found &found : m_found) {
            if (Mdns::Name::fromDotted(found.service.hostname()) == record.name)
                found.addresses.removeOne(record.address);
        }
    });
    m_out.progress(QStringLiteral("discover"),
                   QStringLiteral("listening for %1 s").arg(m_timeoutMs / 1000.0));
    QTimer::singleShot(m_timeoutMs, this, &DiscoverCommand::report);
}

void DiscoverCommand::onAdded(const Mdns::Service &service)
{
    m_found.append({service, {}});
    resolve(service.hostname());
}

void DiscoverCommand::resolve(const QByteArray &host)
{
    auto *resolver = new Mdns::Resolver(m_server, host, m_cache, this);
    connect(resolver, &Mdns::Resolver::resolved, this, [this, host](const QHostAddress &address) {
        for (Found &found : m_found) {
            if (found.service.hostname() == host && !found.addresses.contains(address))
                found.addresses.append(address);
        }
    });
}

void DiscoverCommand::onUpdated(const Mdns::Service &service)
{
    for (Found &found : m_found) {
        if (found.service.name() != service.name())
            continue;
        // On another host, the old host's addresses are not the machine's.
        const bool moved = found.service.hostname() != service.hostname();
        found.service = service;
        if (moved) {
            found.addresses.clear();
            resolve(service.hostname());
        }
    }
}

void DiscoverCommand::onRemoved(const Mdns::Service &service)
{
    m_found.removeIf([&service](const Found &f) { return f.service.name() == service.name(); });
}

QString DiscoverCommand::target(const Found &found)
{
    // IPv4 first: it is what most control units are reached by.
    QList<QHostAddress> addresses = found.addresses;
    std::stable_sort(addresses.begin(), addresses.end(), [](const auto &a, const auto &b) {
        return a.protocol() == QAbstractSocket::IPv4Protocol &&
               b.protocol() != QAbstractSocket::IPv4Protocol;
    });
    const quint16 port = found.service.port();
    if (addresses.isEmpty()) {
        QString host = QString::fromLatin1(found.service.hostname());
        host.remove(QRegularExpression(QStringLiteral("\\.$")));
        return QStringLiteral("%1:%2").arg(host).arg(port);
    }
    const QHostAddress &first = addresses.first();
    if (first.protocol() == QAbstractSocket::IPv6Protocol)
        return QStringLiteral("[%1]:%2").arg(first.toString()).arg(port);
    return QStringLiteral("%1:%2").arg(first.toString()).arg(port);
}

void DiscoverCommand::report()
{
    std::sort(m_found.begin(), m_found.end(),
              [](const Found &a, const Found &b) { return a.service.name() < b.service.name(); });
    for (const Found &found : m_found) {
        // As the target dialog shows it: the first TXT attribute, key and
        // value run together, spaces collapsed.
        const auto latin1 = [](const QByteArray &bytes) {
            return QString::fromLatin1(
                bytes.left(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0')));
        };
        QString description;
        const auto attributes = found.service.attributes();
        if (!attributes.isEmpty())
            description = (latin1(attributes.firstKey()) + latin1(attributes.first()))
                              .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                              .join(QLatin1Char(' '));
        QString host = QString::fromLatin1(found.service.hostname());
        host.remove(QRegularExpression(QStringLiteral("\\.$")));
        QStringList addresses;
        for (const QHostAddress &address : found.addresses)
            addresses.append(address.toString());
        const QString name = QString::fromUtf8(found.service.name());
        const QString address = target(found);
        if (m_targets) {
            m_out.text(address);
        } else {
            // One line of tab-separated fields, whatever a name holds: a tab
            // in a field becomes a space (Output does so with the other
            // control characters), its % signs stay as they are.
            QStringList fields{name, host + u':' + QString::number(found.service.port()),
                               addresses.join(QLatin1Char(',')), description};
            for (QString &field : fields)
                field.replace(u'\t', u' ');
            m_out.text(fields.join(QLatin1Char('\t')));
        }
        m_out.result({{QStringLiteral("name"), name},
                      {QStringLiteral("host"), host},
                      {QStringLiteral("port"), found.service.port()},
                      {QStringLiteral("addresses"), QJsonArray::fromStringList(addresses)},
                      {QStringLiteral("description"), description},
                      {QStringLiteral("target"), address}});
    }
    m_out.progress(QStringLiteral("discover"), QStringLiteral("%1 found").arg(m_found.size()));
    done();
}
