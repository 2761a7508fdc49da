#include "mdns/querier.h"

#include "mdns/abstractserver.h"
#include "mdns/cache.h"

#include <QRandomGenerator>

namespace Mdns {

Querier::Querier(AbstractServer *server, Cache *cache, const QList<Question> &questions,
                 QObject *parent)
    : QObject(parent), m_server(server), m_cache(cache), m_questions(questions),
      m_timer(cache->clock())
{
    connect(&m_timer, &Timer::timeout, this, &Querier::onTimer);
    // RFC 6762 section 5.2: a random delay spreads the queries of hosts
    // started together.
    m_timer.start(QRandomGenerator::global()->bounded(20, 121));
}

void Querier::onTimer()
{
    query(m_questions);
    m_interval = m_interval == 0 ? 1000 : std::min(m_interval * 2, MaxIntervalMs);
    m_timer.start(m_interval);
}

void Querier::query(const QList<Question> &questions)
{
    Message message;
    for (Question question : questions) {
        // QM only: unicast replies would reach just one of the sockets that
        // share port 5353 on this host.
        question.unicastResponse = false;
        message.questions.append(question);
        if (message.questions.size() > 1 && message.toWire().size() > MaxQuerySize) {
            message.questions.removeLast();
            m_server->sendMessageToAll(message);
            message = Message();
            message.questions.append(question);
        }
    }
    for (const Question &question : questions) {
        for (Record known : m_cache->knownAnswers(question.name, question.type)) {
            known.cacheFlush = false;
            message.answers.append(known);
            if (message.questions.size() + message.answers.size() > 1 &&
                message.toWire().size() > MaxQuerySize) {
                message.answers.removeLast();
                message.truncated = true;
                m_server->sendMessageToAll(message);
                message = Message();
                message.answers.append(known);
            }
        }
    }
    m_server->sendMessageToAll(message);
}

} // namespace Mdns
