#include "mdns/server.h"

#include <QNetworkDatagram>
#include <QVariant>

namespace Mdns {

namespace {

const QHostAddress ipv4Group(QStringLiteral("224.0.0.251"));
const QHostAddress ipv6Group(QStringLiteral("ff02::fb"));
// Interfaces come and go without notice from Qt: look again this often.
constexpr int InterfacePollMs = 3000;
// Datagrams read per wake-up, so a flood cannot hold the event loop.
constexpr int MaxDatagramsPerRead = 64;

bool hasProtocol(const QNetworkInterface &iface, QAbstractSocket::NetworkLayerProtocol protocol)
{
    for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
        if (entry.ip().protocol() == protocol)
            return true;
    }
    return false;
}

// Joins the group on new interfaces and leaves it on vanished ones; returns
// the interfaces now joined.
QList<QNetworkInterface> syncMembership(QUdpSocket &socket, const QHostAddress &group,
                                        const QList<QNetworkInterface> &joined,
                                        const QList<QNetworkInterface> &wanted)
{
    if (socket.state() != QAbstractSocket::BoundState)
        return {};
    auto contains = [](const QList<QNetworkInterface> &list, int index) {
        return std::any_of(list.begin(), list.end(),
                           [index](const QNetworkInterface &i) { return i.index() == index; });
    };
    for (const QNetworkInterface &iface : joined) {
        if (!contains(wanted, iface.index()))
            socket.leaveMulticastGroup(group, iface);
    }
    QList<QNetworkInterface> result;
    for (const QNetworkInterface &iface : wanted) {
        // Keep the fresh interface object: its addresses decide what is on-link.
        if (contains(joined, iface.index()) || socket.joinMulticastGroup(group, iface))
            result.append(iface);
    }
    return result;
}

} // namespace

Server::Server(QObject *parent) : Server(QHostAddress(QHostAddress::Any), parent) {}

Server::Server(const QHostAddress &localAddress, QObject *parent)
    : AbstractServer(parent), m_localAddress(localAddress)
{
    connect(&m_ipv4, &QUdpSocket::readyRead, this, [this] { readDatagrams(&m_ipv4); });
    connect(&m_ipv6, &QUdpSocket::readyRead, this, [this] { readDatagrams(&m_ipv6); });
    bindSockets();
    updateInterfaces();
    m_interfaceTimer.setInterval(InterfacePollMs);
    connect(&m_interfaceTimer, &QTimer::timeout, this, &Server::updateInterfaces);
    m_interfaceTimer.start();
}

void Server::bindSockets()
{
    // Other responders (Avahi, Bonjour, other programs) hold the same port.
    const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    QStringList failures;
    for (auto [socket, address] : {std::pair{&m_ipv4, QHostAddress(QHostAddress::AnyIPv4)},
                                   std::pair{&m_ipv6, QHostAddress(QHostAddress::AnyIPv6)}}) {
        if (!socket->bind(address, Port, mode)) {
            failures.append(socket->errorString());
            continue;
        }
        // RFC 6762 section 11: sent with IP TTL 255; loop back so that
        // programs on this host see each other.
        socket->setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(255));
        socket->setSocketOption(QAbstractSocket::MulticastLoopbackOption, QVariant(1));
    }
    if (!failures.isEmpty()) {
        // Reported once the owner has had a chance to connect.
        QTimer::singleShot(0, this,
                           [this, failures] { emit error(failures.join(QLatin1String("; "))); });
    }
}

void Server::updateInterfaces()
{
    QList<QNetworkInterface> wanted4, wanted6;
    const auto needed =
        QNetworkInterface::IsUp | QNetworkInterface::IsRunning | QNetworkInterface::CanMulticast;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if ((iface.flags() & needed) != needed || !isWanted(iface))
            continue;
        if (hasProtocol(iface, QAbstractSocket::IPv4Protocol))
            wanted4.append(iface);
        if (hasProtocol(iface, QAbstractSocket::IPv6Protocol))
            wanted6.append(iface);
    }
    m_ipv4Interfaces = syncMembership(m_ipv4, ipv4Group, m_ipv4Interfaces, wanted4);
    m_ipv6Interfaces = syncMembership(m_ipv6, ipv6Group, m_ipv6Interfaces, wanted6);
}

bool Server::isWanted(const QNetworkInterface &iface) const
{
    if (m_localAddress == QHostAddress::Any || m_localAddress == QHostAddress::AnyIPv4 ||
        m_localAddress == QHostAddress::AnyIPv6)
        return true;
    const QList<QNetworkAddressEntry> entries = iface.addressEntries();
    return std::any_of(entries.begin(), entries.end(), [this](const QNetworkAddressEntry &entry) {
        return entry.ip().isEqual(m_localAddress, QHostAddress::StrictConversion);
    });
}

QList<int> Server::interfaceIndexes() const
{
    QList<int> indexes;
    for (const auto *list : {&m_ipv4Interfaces, &m_ipv6Interfaces}) {
        for (const QNetworkInterface &iface : *list) {
            if (!indexes.contains(iface.index()))
                indexes.append(iface.index());
        }
    }
    return indexes;
}

void Server::sendMessage(const Message &message, const QHostAddress &address, quint16 port)
{
    const QByteArray data = message.toWire();
    if (data.isEmpty())
        return;
    QUdpSocket &socket = address.protocol() == QAbstractSocket::IPv6Protocol ? m_ipv6 : m_ipv4;
    socket.writeDatagram(data, address, port);
}

void Server::sendMessageToAll(const Message &message)
{
    const QByteArray data = message.toWire();
    if (data.isEmpty())
        return;
    for (const QNetworkInterface &iface : std::as_const(m_ipv4Interfaces)) {
        m_ipv4.setMulticastInterface(iface);
        m_ipv4.writeDatagram(data, ipv4Group, Port);
    }
    for (const QNetworkInterface &iface : std::as_const(m_ipv6Interfaces)) {
        m_ipv6.setMulticastInterface(iface);
        QHostAddress group = ipv6Group;
        group.setScopeId(iface.name());
        m_ipv6.writeDatagram(data, group, Port);
    }
}

void Server::readDatagrams(QUdpSocket *socket)
{
    for (int i = 0; i < MaxDatagramsPerRead && socket->hasPendingDatagrams(); ++i) {
        const qint64 size = socket->pendingDatagramSize();
        if (size < 0 || size > Message::MaxSize) {
            socket->receiveDatagram(0); // discard
            continue;
        }
        const QNetworkDatagram datagram = socket->receiveDatagram(size);
        QHostAddress sender = datagram.senderAddress();
        bool ok = false;
        const QHostAddress ipv4(sender.toIPv4Address(&ok));
        if (ok)
            sender = ipv4;
        if (!isOnLink(sender, datagram.interfaceIndex()))
            continue;
        processDatagram(datagram.data(), sender, quint16(datagram.senderPort()),
                        int(datagram.interfaceIndex()));
    }
}

bool Server::isOnLink(const QHostAddress &sender, int interfaceIndex) const
{
    const auto &interfaces =
        sender.protocol() == QAbstractSocket::IPv6Protocol ? m_ipv6Interfaces : m_ipv4Interfaces;
    QList<QNetworkAddressEntry> entries;
    for (const QNetworkInterface &iface : interfaces) {
        if (interfaceIndex <= 0 || iface.index() == interfaceIndex)
            entries += iface.addressEntries();
    }
    return isOnLink(sender, entries);
}

bool Server::isOnLink(const QHostAddress &sender, const QList<QNetworkAddressEntry> &entries)
{
    if (sender.isLoopback() ||
        (sender.protocol() == QAbstractSocket::IPv6Protocol && sender.isLinkLocal()))
        return true;
    return std::any_of(entries.begin(), entries.end(), [&](const QNetworkAddressEntry &entry) {
        return entry.ip().protocol() == sender.protocol() &&
               sender.isInSubnet(entry.ip(), entry.prefixLength());
    });
}

} // namespace Mdns
