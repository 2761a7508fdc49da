// WsConnection against a WebSocket server in the test standing in for the
// relay service: the messages it sends and how it takes the answers.
#include "acpu/wsconnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>

#include <climits>

using namespace Acpu;
using namespace Qt::StringLiterals;

class TestWsConnection : public QObject
{
    Q_OBJECT
    QWebSocketServer *server = nullptr;
    QPointer<QWebSocket> peer;
    QStringList received;
    WsConnection *c = nullptr;

    // The next message the client sends, parsed. Its tid, which must be an
    // int below -1, is taken out into *tid.
    QJsonObject next(QJsonValue *tid = nullptr)
    {
        if (!QTest::qWaitFor([this] { return !received.isEmpty(); }, 5000))
            return {};
        QJsonObject message = QJsonDocument::fromJson(received.takeFirst().toUtf8()).object();
        if (tid)
            *tid = message.take(u"tid"_s);
        const bool tidOk = !tid || (tid->toInteger(0) >= INT_MIN && tid->toInteger(0) <= -2);
        return tidOk ? message : QJsonObject();
    }
    static QJsonObject json(const char *text) { return QJsonDocument::fromJson(text).object(); }
    void send(const QString &text) { peer->sendTextMessage(text); }
    // Answers a read with the values first, first + 1, ...
    void readDone(const QJsonValue &tid, int first, int count)
    {
        QStringList values;
        for (int i = 0; i < count; ++i)
            values.append(QString::number(first + i));
        send(uR"({"event": "get_vars_done", "tid": %1, "values": [%2]})"_s.arg(tid.toInt())
                 .arg(values.join(u',')));
    }

private slots:
    void init()
    {
        server = new QWebSocketServer(u"test"_s, QWebSocketServer::NonSecureMode);
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        connect(server, &QWebSocketServer::newConnection, this, [this] {
            peer = server->nextPendingConnection();
            peer->setParent(server); // the caller owns it: gone with the server
            connect(peer, &QWebSocket::textMessageReceived, this,
                    [this](const QString &text) { received.append(text); });
        });
        received.clear();
        c = new WsConnection;
        c->SetServicePort(server->serverPort());
        c->SetHost(u"10.0.0.5:1502"_s);
        QVERIFY(
            QTest::qWaitFor([this] { return c->State() == Connection::Connected && peer; }, 5000));
    }
    void cleanup()
    {
        delete c;
        delete server;
    }

    // Keys and panel refreshes on one socket, whose URL names the machine.
    void keysRefreshesAndUrl()
    {
        QCOMPARE(peer->requestUrl().path(), u"/ws/vrk6/device/10.0.0.5:1502/"_s);
        c->SendKey(0x81);
        QCOMPARE(next(), json(R"({"verb": "key", "key": 129})"));

        QSignalSpy polled(c, &Connection::pollingFinished);
        send(uR"({"event": "refresh", "content": {"line1": "L1", "line2": "L2", "line3": "L3",
                  "line4": "L4", "led1": true, "led2": false, "led3": true, "led4": true}})"_s);
        QVERIFY(polled.wait(5000));
        Acpu::Display display;
        c->GetDisplay(display);
        QCOMPARE(QStringList({display.line1(), display.line2(), display.line3(), display.line4()}),
                 QStringList({u"L1"_s, u"L2"_s, u"L3"_s, u"L4"_s}));
        QVERIFY(display.runLed() && !display.errorLed() && display.mode1Led() &&
                display.mode2Led());

        // A line or lamp the service leaves out is empty or off.
        send(uR"({"event": "refresh", "content": {"line1": "L1", "led1": true, "led4": true}})"_s);
        QVERIFY(polled.wait(5000));
        c->GetDisplay(display);
        QVERIFY(display.line2().isEmpty() && display.runLed() && !display.mode1Led() &&
                display.mode2Led());

        // A service that leaves the panel refresh unanswered: the waiting refresh
        // counts as busy, stalls show within a second, its time-out is an error;
        // a failure the service reports is an error at once.
        QSignalSpy stalled(c, &Connection::pollingStalled);
        QSignalSpy errors(c, &Connection::errorOccurred);
        c->StartPolling();
        QTRY_VERIFY_WITH_TIMEOUT(!stalled.isEmpty(), 1000);
        QCOMPARE(received.size(), 1); // one refresh waits at a time
        QCOMPARE(next(), json(R"({"verb": "refresh"})"));
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 3000);
        QCOMPARE(errors.first().at(0).toInt(), int(QAbstractSocket::SocketTimeoutError));

        // The next refresh is asked for and answered: the outage is over.
        QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty(), 3000);
        send(u"{\"event\": \"refresh\", \"content\": {}}"_s);
        QVERIFY(polled.wait(3000));
        send(u"{\"event\": \"refresh_failed\", \"message\": \"machine silent\"}"_s);
        QTRY_COMPARE(errors.size(), 2);
        QCOMPARE(errors.last().at(1).toString(), u"machine silent"_s);

        c->SetHost(u"[fe80::1]:1502"_s);
        QTRY_COMPARE(peer ? peer->requestUrl().path() : QString(),
                     u"/ws/vrk6/device/[fe80::1]:1502/"_s);
    }

    // A read in two transactions, then a write in two chunks (the second goes
    // out once the first is done), then stray answers: unknown tids, a JSON
    // array, a message without an event, a duplicate and an answer for a
    // destroyed request change nothing.
    void requestsAndStrayAnswers()
    {
        auto read = c->Read({{4096, 61}});
        QVERIFY(read);
        QSignalSpy readFinished(*read, &Request::finished);
        QSignalSpy progress(*read, &Request::progress);
        QJsonValue first, second, tid, droppedTid;
        QCOMPARE(
            next(&first),
            json(R"({"verb": "get_vars", "use_int": true, "start_index": 4096, "length": 60})"));
        QTest::qWait(50);
        QVERIFY(received.isEmpty()); // strictly one transaction at a time
        // One value too many: it must not land in the cache.
        readDone(first, -10, 61);
        QCOMPARE(
            next(&second),
            json(R"({"verb": "get_vars", "use_int": true, "start_index": 4156, "length": 1})"));
        QVERIFY(second != first);
        QCOMPARE(QList<int>({c->ReadInt(4096), c->ReadInt(4155), c->ReadInt(4156)}),
                 QList<int>({-10, 49, 0}));
        QVERIFY(readFinished.isEmpty());
        // Fewer values than asked: the chunk is complete all the same.
        readDone(second, 0, 0);
        QVERIFY(readFinished.wait(5000));
        QCOMPARE((*read)->ErrorString(), QString());
        QCOMPARE(progress.size(), 2);
        QCOMPARE(progress.last().at(0).toInt(), 100);
        QVERIFY(!c->IsBusy());

        QList<Value> values(61, Value{0});
        values.first() = -2.0f;
        values.last() = -3;
        auto write = c->Write({{7, 61}}, values);
        QVERIFY(write);
        QSignalSpy writeFinished(*write, &Request::finished);
        const QJsonArray sent = next(&first)[u"values"].toArray();
        QCOMPARE(sent.size(), 60);
        QCOMPARE(sent.first(), json(R"({"key": 7, "value": -1073741824})"));
        // A read answer for a write's tid is not its answer.
        readDone(first, 5, 1);
        QTest::qWait(50);
        QVERIFY(received.isEmpty());
        send(u"{\"event\": \"set_vars_done\", \"tid\": %1}"_s.arg(first.toInt()));
        QCOMPARE(next(&second), json(R"({"verb": "set_vars", "is_float": false,
                                          "values": [{"key": 67, "value": -3}]})"));
        QVERIFY(writeFinished.isEmpty());
        send(u"{\"event\": \"set_vars_done\", \"tid\": %1}"_s.arg(second.toInt()));
        QVERIFY(writeFinished.wait(5000));
        QCOMPARE((*write)->ErrorString(), QString());

        auto result = c->Read({{300, 2}});
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        QVERIFY(!next(&tid).isEmpty());
        QSignalSpy polled(c, &Connection::pollingFinished);

        readDone(tid.toInt() == -2 ? -3 : -2, 1, 2);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(u"^parse error"_s));
        send(u"[{\"event\": \"refresh\"}]"_s);
        send(u"{\"tid\": %1, \"values\": [1, 2]}"_s.arg(tid.toInt()));
        QTest::qWait(50);
        QVERIFY(finished.isEmpty() && polled.isEmpty() && c->IsBusy());
        QCOMPARE(c->ReadInt(300), 0);

        readDone(tid, 1, 2);
        QVERIFY(finished.wait(5000));
        QCOMPARE(c->ReadInt(301), 2);
        readDone(tid, 7, 2);

        auto dropped = c->Read({{10, 1}});
        QVERIFY(dropped);
        QVERIFY(!next(&droppedTid).isEmpty());
        delete *dropped;
        QVERIFY(!c->IsBusy());
        readDone(droppedTid, 42, 1);
        QTest::qWait(50);
        QCOMPARE(c->ReadInt(301), 2);
        QCOMPARE(c->ReadInt(10), 0);
    }

    // The service closes the socket while a read waits (Qt refusing its
    // oversized message, or the relay after the machine failed a request):
    // the read fails and says why.
    void lostServiceFailsWaitingRequests_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("oversized") << u"1024 KiB"_s;
        QTest::newRow("closed by the relay") << u"machine request failed: X"_s;
    }
    void lostServiceFailsWaitingRequests()
    {
        QFETCH(QString, reason);
        auto result = c->Read({{10, 1}});
        QVERIFY(result);
        QSignalSpy finished(*result, &Request::finished);
        QSignalSpy errors(c, &Connection::errorOccurred);
        QVERIFY(!next().isEmpty());
        if (QTest::currentDataTag() == "oversized"_L1)
            peer->sendTextMessage(QString(2 * 1024 * 1024, u'x'));
        else
            peer->close(QWebSocketProtocol::CloseCodeBadOperation, reason);
        QVERIFY(finished.wait(5000));
        QVERIFY2((*result)->ErrorString().contains(reason), qPrintable((*result)->ErrorString()));
        QCOMPARE(c->State(), Connection::Disconnected);
        QVERIFY(!c->IsBusy());
        QTRY_VERIFY(!errors.isEmpty());
        QVERIFY2(errors.last().at(1).toString().contains(reason),
                 qPrintable(errors.last().at(1).toString()));
    }

    // A service that accepts the TCP connection but never answers the
    // WebSocket handshake: the attempt ends after its time-out.
    void handshakeTimesOut()
    {
        QTcpServer mute;
        QVERIFY(mute.listen(QHostAddress::LocalHost, 0));
        WsConnection w;
        w.SetServicePort(mute.serverPort());
        QSignalSpy errors(&w, &Connection::errorOccurred);
        w.SetHost(u"10.0.0.5"_s);
        QTRY_COMPARE(w.State(), Connection::Connecting);
        QTRY_COMPARE_WITH_TIMEOUT(w.State(), Connection::Disconnected,
                                  Connection::ConnectTimeoutMs + 3000);
        QCOMPARE(errors.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWsConnection)
#include "tst_wsconnection.moc"
