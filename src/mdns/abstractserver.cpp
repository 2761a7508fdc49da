#include "mdns/abstractserver.h"

#include "mdns/logging.h"

#include <QNetworkInterface>

namespace Mdns {

AbstractServer::AbstractServer(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<Mdns::Message>();
}

void AbstractServer::processDatagram(QByteArrayView datagram, const QHostAddress &sender,
                                     quint16 senderPort, int interfaceIndex)
{
    Result<Message> message = Message::fromWire(datagram);
    if (!message) {
        // Anyone on the link can send these: debug only, never a flood of warnings.
        qCDebug(lcMdns).noquote() << "malformed datagram of" << datagram.size() << "bytes from"
                                  << sender.toString() << "port" << senderPort << "-"
                                  << message.error();
        return;
    }
    // RFC 6762 section 18.3 and 18.11: other opcodes and error codes are ignored.
    if (message->opcode != 0 || message->rcode != 0)
        return;
    // Responses must come from the mDNS port (RFC 6762 section 6); queries
    // from elsewhere are legacy unicast queries a provider answers directly.
    if (message->response && senderPort != Port)
        return;
    message->sender = sender;
    message->senderPort = senderPort;
    message->interfaceIndex = interfaceIndex;
    // A link-local address is reachable only through the interface it was
    // learnt on; without it, connecting to the machine fails.
    if (interfaceIndex > 0) {
        const QString scope = QNetworkInterface::interfaceNameFromIndex(interfaceIndex);
        for (QList<Record> *records :
             {&message->answers, &message->authorities, &message->additionals}) {
            for (Record &record : *records) {
                if (record.type == AAAA && record.address.isLinkLocal())
                    record.address.setScopeId(scope);
            }
        }
    }
    emit messageReceived(*message);
}

} // namespace Mdns
