#include "mdns/provider.h"

#include "mdns/abstractserver.h"

#include <QNetworkInterface>
#include <QRandomGenerator>

namespace Mdns {

namespace {

constexpr int Announcements = 2;
constexpr int AnnounceIntervalMs = 1000;
// RFC 6762 section 6: a record is multicast at most once a second.
constexpr qint64 MulticastIntervalMs = 1000;
// RFC 6762 section 6.7: TTL limit in answers to legacy unicast queries.
constexpr quint32 LegacyTtl = 10;
const Name ServicesName = Name::fromDotted("_services._dns-sd._udp.local");

QByteArray cutLabel(const QByteArray &label)
{
    if (label.size() <= 63)
        return label;
    qsizetype end = 63;
    // Never split a UTF-8 sequence: step back over continuation bytes.
    while (end > 0 && (uchar(label[end]) & 0xC0) == 0x80)
        --end;
    return label.left(end);
}

QList<QHostAddress> interfaceAddresses()
{
    QList<QHostAddress> addresses;
    const auto needed =
        QNetworkInterface::IsUp | QNetworkInterface::IsRunning | QNetworkInterface::CanMulticast;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if ((iface.flags() & needed) != needed)
            continue;
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            QHostAddress address = entry.ip();
            address.setScopeId({});
            if (!addresses.contains(address))
                addresses.append(address);
        }
    }
    return addresses;
}

void appendOnce(QList<Record> &list, const Record &record)
{
    if (std::none_of(list.begin(), list.end(),
                     [&](const Record &r) { return r.sameRecord(record); }))
        list.append(record);
}

} // namespace

Provider::Provider(AbstractServer *server, QObject *parent) : QObject(parent), m_server(server)
{
    m_elapsed.start();
    m_announceTimer.setSingleShot(true);
    m_announceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_announceTimer, &QTimer::timeout, this, &Provider::announce);
    connect(server, &AbstractServer::messageReceived, this, &Provider::onMessage);
}

Provider::~Provider()
{
    sendGoodbye();
}

void Provider::update(const Service &service, const QList<QHostAddress> &addresses)
{
    Service cut = service;
    cut.setName(cutLabel(service.name()));
    if (m_active && (cut.name() != m_service.name() || cut.type() != m_service.type()))
        sendGoodbye();
    m_service = cut;
    m_addresses = addresses;
    m_active = true;
    m_announcements = 0;
    m_lastMulticast.clear();
    announce();
}

QList<Record> Provider::records() const
{
    const Name type = Name::fromDotted(m_service.type());
    const Name instance = type.prepended(m_service.name());
    const Name host = Name::fromDotted(m_service.hostname());
    QList<Record> records;
    Record ptr;
    ptr.name = type;
    ptr.type = PTR;
    ptr.ttl = OtherTtl;
    ptr.target = instance;
    records.append(ptr);
    Record srv;
    srv.name = instance;
    srv.type = SRV;
    srv.cacheFlush = true;
    srv.ttl = HostTtl;
    srv.port = m_service.port();
    srv.target = host;
    records.append(srv);
    Record txt;
    txt.name = instance;
    txt.type = TXT;
    txt.cacheFlush = true;
    txt.ttl = OtherTtl;
    txt.txt = Service::txtFromAttributes(m_service.attributes());
    records.append(txt);
    for (const QHostAddress &address : m_addresses.isEmpty() ? interfaceAddresses() : m_addresses) {
        if (address.isNull() || address == QHostAddress::AnyIPv4 ||
            address == QHostAddress::AnyIPv6)
            continue;
        Record a;
        a.name = host;
        a.type = address.protocol() == QAbstractSocket::IPv4Protocol ? A : AAAA;
        a.cacheFlush = true;
        a.ttl = HostTtl;
        a.address = address;
        records.append(a);
    }
    // RFC 6763 section 9: lets "which types are there" queries find ours.
    Record services;
    services.name = ServicesName;
    services.type = PTR;
    services.ttl = OtherTtl;
    services.target = type;
    records.append(services);
    return records;
}

void Provider::announce()
{
    if (!m_active)
        return;
    multicast(records(), {}, false);
    if (++m_announcements < Announcements)
        m_announceTimer.start(AnnounceIntervalMs);
}

void Provider::onMessage(const Message &message)
{
    // Responses are others' business (no conflict handling here).
    if (!m_active || message.response)
        return;
    const QList<Record> all = records();
    QList<Record> answers, additionals;
    for (const Question &question : message.questions) {
        if (question.questionClass != ClassIn && question.questionClass != ClassAny)
            continue;
        for (const Record &record : all) {
            if ((question.type == ANY || question.type == record.type) &&
                question.name == record.name)
                appendOnce(answers, record);
        }
    }
    // Known-answer suppression (RFC 6762 section 7.1): what the asker holds
    // with at least half our TTL left is not repeated.
    answers.removeIf([&](const Record &record) {
        return std::any_of(message.answers.begin(), message.answers.end(),
                           [&](const Record &known) {
                               return known.sameRecord(record) && known.ttl >= record.ttl / 2;
                           });
    });
    if (answers.isEmpty())
        return;
    // What the asker will want next comes along (RFC 6763 section 12).
    for (const Record &answer : std::as_const(answers)) {
        for (const Record &record : all) {
            const bool wanted = (answer.type == PTR && answer.target == record.name &&
                                 (record.type == SRV || record.type == TXT)) ||
                                ((answer.type == PTR || answer.type == SRV) &&
                                 (record.type == A || record.type == AAAA) &&
                                 record.name == Name::fromDotted(m_service.hostname()) &&
                                 !(answer.name == ServicesName));
            if (wanted)
                appendOnce(additionals, record);
        }
    }
    additionals.removeIf([&](const Record &record) {
        return std::any_of(answers.begin(), answers.end(),
                           [&](const Record &a) { return a.sameRecord(record); });
    });

    if (message.senderPort != AbstractServer::Port) {
        // Legacy unicast query (RFC 6762 section 6.7): answer the asker directly.
        Message reply;
        reply.id = message.id;
        reply.response = true;
        reply.authoritative = true;
        reply.questions = message.questions;
        for (QList<Record> *section : {&answers, &additionals}) {
            for (Record &record : *section) {
                record.ttl = std::min(record.ttl, LegacyTtl);
                record.cacheFlush = false;
            }
        }
        reply.answers = answers;
        reply.additionals = additionals;
        m_server->sendMessage(reply, message.sender, message.senderPort);
        return;
    }
    // Shared records may have several responders: spread the answers out
    // (RFC 6762 section 6). Records only we hold go at once.
    const bool shared =
        std::any_of(answers.begin(), answers.end(), [](const Record &r) { return r.type == PTR; });
    if (!shared) {
        multicast(answers, additionals);
        return;
    }
    QTimer::singleShot(QRandomGenerator::global()->bounded(20, 121), this,
                       [this, answers, additionals] { multicast(answers, additionals); });
}

void Provider::multicast(QList<Record> answers, QList<Record> additionals, bool limited)
{
    if (!m_active)
        return;
    const qint64 now = m_elapsed.elapsed();
    const auto recent = [&](const Record &record) {
        return limited &&
               std::any_of(m_lastMulticast.begin(), m_lastMulticast.end(), [&](const auto &sent) {
                   return sent.first.sameRecord(record) && now - sent.second < MulticastIntervalMs;
               });
    };
    answers.removeIf(recent);
    if (answers.isEmpty())
        return;
    additionals.removeIf(recent);
    m_lastMulticast.removeIf(
        [&](const auto &sent) { return now - sent.second >= MulticastIntervalMs; });
    for (const Record &record : answers + additionals)
        m_lastMulticast.append({record, now});
    Message message;
    message.response = true;
    message.authoritative = true;
    message.answers = answers;
    message.additionals = additionals;
    m_server->sendMessageToAll(message);
}

void Provider::sendGoodbye()
{
    if (!m_active)
        return;
    Message message;
    message.response = true;
    message.authoritative = true;
    for (Record record : records()) {
        // The list of types is shared with other services of this host.
        if (record.name == ServicesName)
            continue;
        record.ttl = 0;
        message.answers.append(record);
    }
    m_server->sendMessageToAll(message);
    m_active = false;
    m_announceTimer.stop();
}

} // namespace Mdns
