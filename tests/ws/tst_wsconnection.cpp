// WsConnection against a WebSocket server in the test standing in for the
// relay service: the messages it sends and how it takes the answers.
#include "acpu/wsconnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>

using namespace Acpu;

namespace {
// The service side: accepts one socket and keeps what it receives.
class Service : public QObject
{
public:
    Service()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QWebSocketServer::newConnection, this, [this] {
            peer = server.nextPendingConnection();
            connect(peer, &QWebSocket::textMessageReceived, this,
                    [this](const QString &text) { received.append(text); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    // The next message the client sends, parsed.
    QJsonObject next()
    {
        if (!QTest::qWaitFor([this] { return !received.isEmpty(); }, 5000))
            return {};
        return QJsonDocument::fromJson(received.takeFirst().toUtf8()).object();
    }
    void send(const QJsonObject &event)
    {
        peer->sendTextMessage(QString::fromUtf8(QJsonDocument(event).toJson()));
    }
    void sendRaw(const QString &text) { peer->sendTextMessage(text); }
    // Lets the client handle everything sent so far.
    static void settle() { QTest::qWait(50); }

    QWebSocketServer server{QStringLiteral("test"), QWebSocketServer::NonSecureMode};
    QPointer<QWebSocket> peer;
    QStringList received;
};

QJsonObject readDone(int tid, const QJsonArray &values)
{
    return {{QStringLiteral("event"), QStringLiteral("get_vars_done")},
            {QStringLiteral("tid"), tid},
            {QStringLiteral("values"), values}};
}

QJsonArray counting(int first, int count)
{
    QJsonArray values;
    for (int i = 0; i < count; ++i)
        values.append(first + i);
    return values;
}

bool isTid(const QJsonValue &tid)
{
    return tid.isDouble() && tid.toInteger() >= std::numeric_limits<int>::min() &&
           tid.toInteger() <= -2;
}
} // namespace

class TestWsConnection : public QObject
{
    Q_OBJECT
    Service *service = nullptr;
    WsConnection *c = nullptr;

    bool connectClient(const QString &host = QStringLiteral("10.0.0.5:1502"))
    {
        c->SetServicePort(service->port());
        c->SetHost(host);
        return QTest::qWaitFor(
            [this] { return c->State() == Connection::Connected && service->peer; }, 5000);
    }

private slots:
    void init()
    {
        service = new Service;
        c = new WsConnection;
    }
    void cleanup()
    {
        delete c;
        delete service;
    }

    void urlNamesTheMachine_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("ipv4 with port") << QStringLiteral("10.0.0.5:1502");
        QTest::newRow("ipv6 with port") << QStringLiteral("[fe80::1]:1502");
        QTest::newRow("name") << QStringLiteral("m1.local");
    }
    void urlNamesTheMachine()
    {
        QFETCH(QString, host);
        QCOMPARE(c->ServicePort(), quint16(8000));
        QSignalSpy states(c, &Connection::stateChanged);
        QVERIFY(connectClient(host));
        QCOMPARE(service->peer->requestUrl().path(),
                 QStringLiteral("/ws/vrk6/device/%1/").arg(host));
        QCOMPARE(states.first().at(0).value<Connection::ConnectionState>(), Connection::Connecting);
        QCOMPARE(states.last().at(0).value<Connection::ConnectionState>(), Connection::Connected);
    }

    void notConnected()
    {
        QCOMPARE(c->Read({{0, 1}}).error(), Connection::NotConnected);
        QCOMPARE(c->WriteInt(0, 1).error(), Connection::NotConnected);
    }

    void readOfOneChunk()
    {
        QVERIFY(connectClient());
        auto result = c->Read({{4096, 20}});
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        QSignalSpy progress(*result, &Request::progress);
        const QJsonObject ask = service->next();
        QCOMPARE(ask.value(QStringLiteral("verb")).toString(), QStringLiteral("get_vars"));
        QCOMPARE(ask.value(QStringLiteral("start_index")).toInt(), 4096);
        QCOMPARE(ask.value(QStringLiteral("length")).toInt(), 20);
        QCOMPARE(ask.value(QStringLiteral("use_int")), QJsonValue(true));
        QVERIFY(isTid(ask.value(QStringLiteral("tid"))));
        QVERIFY(c->IsBusy());
        service->send(readDone(ask.value(QStringLiteral("tid")).toInt(), counting(-10, 20)));
        QVERIFY(finished.wait(5000));
        QCOMPARE(progress.size(), 1);
        QCOMPARE(progress.first().at(0).toInt(), 100);
        QVERIFY(!c->IsBusy());
        QCOMPARE(c->ReadInt(4096), -10);
        QCOMPARE(c->ReadInt(4115), 9);
    }

    void readInTwoTransactions()
    {
        QVERIFY(connectClient());
        auto result = c->Read({{0, 61}});
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        const QJsonObject first = service->next();
        QCOMPARE(first.value(QStringLiteral("start_index")).toInt(), 0);
        QCOMPARE(first.value(QStringLiteral("length")).toInt(), 60);
        // Strictly one transaction at a time.
        Service::settle();
        QVERIFY(service->received.isEmpty());
        // One value too many: it must not land in the cache.
        service->send(readDone(first.value(QStringLiteral("tid")).toInt(), counting(100, 61)));
        const QJsonObject second = service->next();
        QCOMPARE(second.value(QStringLiteral("start_index")).toInt(), 60);
        QCOMPARE(second.value(QStringLiteral("length")).toInt(), 1);
        QVERIFY(isTid(second.value(QStringLiteral("tid"))));
        QVERIFY(second.value(QStringLiteral("tid")) != first.value(QStringLiteral("tid")));
        QCOMPARE(c->ReadInt(59), 159);
        QCOMPARE(c->ReadInt(60), 0);
        QVERIFY(finished.isEmpty());
        // Fewer values than asked: the chunk is complete all the same.
        service->send(readDone(second.value(QStringLiteral("tid")).toInt(), {}));
        QVERIFY(finished.wait(5000));
        QCOMPARE((*result)->ErrorString(), QString());
    }

    void writeCarriesRawBits()
    {
        QVERIFY(connectClient());
        auto result = c->WriteFloat(7, -2.0f);
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        const QString text = QTest::qWaitFor([this] { return !service->received.isEmpty(); }, 5000)
                                 ? service->received.first()
                                 : QString();
        QVERIFY(text.contains(QLatin1Char('\n'))); // the indented form
        const QJsonObject ask = service->next();
        QCOMPARE(ask.value(QStringLiteral("verb")).toString(), QStringLiteral("set_vars"));
        QCOMPARE(ask.value(QStringLiteral("is_float")), QJsonValue(false));
        const QJsonArray values = ask.value(QStringLiteral("values")).toArray();
        QCOMPARE(values.size(), 1);
        QCOMPARE(values.at(0).toObject().value(QStringLiteral("key")).toInt(), 7);
        QCOMPARE(values.at(0).toObject().value(QStringLiteral("value")).toInteger(), -1073741824);
        // A read answer for a write's tid is not its answer.
        const int tid = ask.value(QStringLiteral("tid")).toInt();
        service->send(readDone(tid, {5}));
        Service::settle();
        QVERIFY(finished.isEmpty());
        QCOMPARE(c->ReadInt(7), 0);
        service->send({{QStringLiteral("event"), QStringLiteral("set_vars_done")},
                       {QStringLiteral("tid"), tid}});
        QVERIFY(finished.wait(5000));
        QCOMPARE((*result)->ErrorString(), QString());
    }

    void keyAndRefresh()
    {
        QVERIFY(connectClient());
        c->SendKey(0x81);
        QCOMPARE(service->next(), (QJsonObject{{QStringLiteral("verb"), QStringLiteral("key")},
                                               {QStringLiteral("key"), 0x81}}));
        c->Refresh();
        QCOMPARE(service->next(),
                 (QJsonObject{{QStringLiteral("verb"), QStringLiteral("refresh")}}));

        QSignalSpy polled(c, &Connection::pollingFinished);
        QJsonObject content{{QStringLiteral("line1"), QStringLiteral("VRK C1")},
                            {QStringLiteral("line4"), QStringLiteral("Manual")},
                            {QStringLiteral("led1"), true},
                            {QStringLiteral("led2"), false},
                            {QStringLiteral("led3"), true},
                            {QStringLiteral("led4"), true}};
        service->send({{QStringLiteral("event"), QStringLiteral("refresh")},
                       {QStringLiteral("content"), content}});
        QVERIFY(polled.wait(5000));
        Acpu::Display display;
        c->GetDisplay(display);
        QCOMPARE(display.line1(), QStringLiteral("VRK C1"));
        QCOMPARE(display.line2(), QString());
        QVERIFY(display.runLed() && !display.errorLed() && display.mode1Led() &&
                display.mode2Led());

        // A lamp the service leaves out is off; the others keep their state.
        content.remove(QStringLiteral("led3"));
        service->send({{QStringLiteral("event"), QStringLiteral("refresh")},
                       {QStringLiteral("content"), content}});
        QVERIFY(polled.wait(5000));
        QSignalSpy mode1(&display, &Acpu::Display::mode1LedChanged);
        QSignalSpy run(&display, &Acpu::Display::runLedChanged);
        c->GetDisplay(display);
        QCOMPARE(mode1.size(), 1);
        QVERIFY(!display.mode1Led());
        QVERIFY(run.isEmpty());
    }

    void strayAnswersChangeNothing()
    {
        QVERIFY(connectClient());
        auto result = c->Read({{300, 2}});
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        const int tid = service->next().value(QStringLiteral("tid")).toInt();
        QSignalSpy polled(c, &Connection::pollingFinished);

        service->send(readDone(tid == -2 ? -3 : -2, {1, 2}));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^parse error")));
        service->sendRaw(QStringLiteral("[{\"event\": \"refresh\"}]"));
        service->sendRaw(QStringLiteral("{\"tid\": %1, \"values\": [1, 2]}").arg(tid));
        Service::settle();
        QVERIFY(finished.isEmpty());
        QVERIFY(polled.isEmpty());
        QVERIFY(c->IsBusy());
        QCOMPARE(c->ReadInt(300), 0);

        service->send(readDone(tid, {1, 2}));
        QVERIFY(finished.wait(5000));
        QCOMPARE(c->ReadInt(301), 2);
        // A duplicate of an answer already taken.
        service->send(readDone(tid, {7, 7}));
        Service::settle();
        QCOMPARE(c->ReadInt(301), 2);
    }

    void destroyedRequestIsForgotten()
    {
        QVERIFY(connectClient());
        auto result = c->Read({{10, 1}});
        QVERIFY(result);
        const int tid = service->next().value(QStringLiteral("tid")).toInt();
        delete *result;
        QVERIFY(!c->IsBusy());
        service->send(readDone(tid, {42}));
        Service::settle();
        QCOMPARE(c->ReadInt(10), 0);
    }

    void lostServiceFailsWaitingRequests()
    {
        QVERIFY(connectClient());
        auto result = c->Read({{10, 1}});
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        QVERIFY(!service->next().isEmpty());
        service->peer->close();
        QVERIFY(finished.wait(5000));
        QVERIFY(!(*result)->ErrorString().isEmpty());
        QCOMPARE(c->State(), Connection::Disconnected);
        QVERIFY(!c->IsBusy());
    }
};

QTEST_GUILESS_MAIN(TestWsConnection)
#include "tst_wsconnection.moc"
