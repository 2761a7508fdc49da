#pragma once

#include "mdns/abstractserver.h"

#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

namespace Mdns {

// Multicast DNS on the network: 224.0.0.251 and ff02::fb, port 5353, on every
// interface that is up and can multicast. The port is shared with the other
// responders on the host. Datagrams from sources off the receiving link are
// dropped.
class Server : public AbstractServer
{
    Q_OBJECT

public:
    explicit Server(QObject *parent = nullptr);
    // Only on the interfaces that carry `localAddress` (all for an "any"
    // address): a service bound to 127.0.0.1 is announced on loopback alone,
    // if at all, never to the network.
    explicit Server(const QHostAddress &localAddress, QObject *parent = nullptr);

    void sendMessage(const Message &message, const QHostAddress &address, quint16 port) override;
    void sendMessageToAll(const Message &message) override;

    // Indexes of the interfaces currently joined, for either protocol.
    QList<int> interfaceIndexes() const;

    // RFC 6762 section 11: a source is on the link when it is loopback,
    // IPv6 link-local, or inside a subnet of the receiving interface.
    static bool isOnLink(const QHostAddress &sender, const QList<QNetworkAddressEntry> &entries);

signals:
    // A socket could not be bound; discovery is then partly or wholly off.
    void error(const QString &message);

private:
    void bindSockets();
    void updateInterfaces();
    void readDatagrams(QUdpSocket *socket);
    bool isOnLink(const QHostAddress &sender, int interfaceIndex) const;
    bool isWanted(const QNetworkInterface &iface) const;

    QHostAddress m_localAddress;

    QUdpSocket m_ipv4;
    QUdpSocket m_ipv6;
    QList<QNetworkInterface> m_ipv4Interfaces;
    QList<QNetworkInterface> m_ipv6Interfaces;
    QTimer m_interfaceTimer;
};

} // namespace Mdns
