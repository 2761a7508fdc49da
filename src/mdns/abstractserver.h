#pragma once

#include "mdns/message.h"

#include <QObject>

namespace Mdns {

// The transport under browsers, resolvers and providers: sends messages and
// reports the ones received. Server is the one on the network; tests derive
// their own to inject datagrams.
class AbstractServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 Port = 5353;

    explicit AbstractServer(QObject *parent = nullptr);

    virtual void sendMessage(const Message &message, const QHostAddress &address, quint16 port) = 0;
    // To the multicast groups on every interface.
    virtual void sendMessageToAll(const Message &message) = 0;

    // Parses a received datagram and reports it when it is a well-formed
    // standard query or response without error; drops it otherwise.
    void processDatagram(QByteArrayView datagram, const QHostAddress &sender, quint16 senderPort,
                         int interfaceIndex);

signals:
    void messageReceived(const Mdns::Message &message);
};

} // namespace Mdns
