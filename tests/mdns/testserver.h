#pragma once

#include "mdns/abstractserver.h"
#include "mdns/clock.h"

// A transport without a network: the test hands it datagrams as if they came
// from the link, and it keeps what was sent, with the clock time.
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

    void sendMessage(const Mdns::Message &m, const QHostAddress &address, quint16 port) override
    {
        // Through the codec, as the network would carry it.
        sent.append({Mdns::Message::fromWire(m.toWire()).value(), m_clock->now(), address, port});
    }
    void sendMessageToAll(const Mdns::Message &m) override { sendMessage(m, {}, Port); }
    void injectRaw(const QByteArray &datagram, quint16 port = Port)
    {
        processDatagram(datagram, QHostAddress(QStringLiteral("192.0.2.1")), port, 1);
    }
    void inject(const Mdns::Message &m, quint16 port = Port) { injectRaw(m.toWire(), port); }

    QList<Sent> queriesFor(const Mdns::Name &name, quint16 type) const
    {
        QList<Sent> found;
        for (const Sent &s : sent) {
            if (std::any_of(s.message.questions.begin(), s.message.questions.end(),
                            [&](const auto &q) { return q.name == name && q.type == type; }))
                found.append(s);
        }
        return found;
    }

    QList<Sent> sent;

private:
    Mdns::Clock *m_clock;
};
