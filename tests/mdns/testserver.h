#pragma once

#include "mdns/abstractserver.h"
#include "mdns/clock.h"

// A transport without a network: the test hands it datagrams as if they had
// arrived on the link, and it keeps what was sent, with the clock time.
class TestServer : public Mdns::AbstractServer
{
    Q_OBJECT

public:
    struct Sent
    {
        Mdns::Message message;
        qint64 time;
        QHostAddress address; // null: to the multicast groups
        quint16 port;
    };

    explicit TestServer(Mdns::Clock *clock) : m_clock(clock) {}

    void sendMessage(const Mdns::Message &message, const QHostAddress &address,
                     quint16 port) override
    {
        record(message, address, port);
    }
    void sendMessageToAll(const Mdns::Message &message) override { record(message, {}, Port); }

    void injectRaw(const QByteArray &datagram, quint16 port = Port)
    {
        processDatagram(datagram, QHostAddress(QStringLiteral("192.0.2.1")), port, 1);
    }
    void inject(const Mdns::Message &message, quint16 port = Port)
    {
        injectRaw(message.toWire(), port);
    }

    // Sent queries asking for this name and type.
    QList<Sent> queriesFor(const Mdns::Name &name, quint16 type) const
    {
        QList<Sent> found;
        for (const Sent &s : sent) {
            for (const Mdns::Question &q : s.message.questions) {
                if (q.name == name && q.type == type) {
                    found.append(s);
                    break;
                }
            }
        }
        return found;
    }

    QList<Sent> sent;

private:
    void record(const Mdns::Message &message, const QHostAddress &address, quint16 port)
    {
        // Through the codec, as the network would carry it.
        const auto parsed = Mdns::Message::fromWire(message.toWire());
        Q_ASSERT(parsed);
        sent.append({*parsed, m_clock->now(), address, port});
    }

    Mdns::Clock *m_clock;
};
