#include "mdns/abstractserver.h"

namespace Mdns {

AbstractServer::AbstractServer(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<Mdns::Message>();
}

void AbstractServer::processDatagram(QByteArrayView datagram, const QHostAddress &sender,
                                     quint16 senderPort, int interfaceIndex)
{
    std::optional<Message> message = Message::fromWire(datagram);
    // RFC 6762 section 18.3 and 18.11: other opcodes and error codes are ignored.
    if (!message || message->opcode != 0 || message->rcode != 0)
        return;
    // Responses must come from the mDNS port (RFC 6762 section 6); queries
    // from elsewhere are legacy unicast queries a provider answers directly.
    if (message->response && senderPort != Port)
        return;
    message->sender = sender;
    message->senderPort = senderPort;
    message->interfaceIndex = interfaceIndex;
    emit messageReceived(*message);
}

} // namespace Mdns
