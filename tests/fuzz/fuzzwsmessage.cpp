// Arbitrary service messages to WsConnection while one of its requests waits;
// the token TID becomes the transaction id it waits for, so answers can match.
#include "acpu/wsconnection.h"
#include "fuzzharness.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QPointer>
#include <QWebSocket>
#include <QWebSocketServer>

namespace {
struct Harness : FuzzApplication
{
    QWebSocketServer server{QStringLiteral("fuzz"), QWebSocketServer::NonSecureMode};
    QPointer<QWebSocket> peer;
    Acpu::WsConnection connection;
    QPointer<Acpu::Request> request;
    int lastTid = 0, received = 0, requests = 0;

    Harness()
    {
        // The connection's "parse error" line would drown the fuzzer's output.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QWebSocketServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QWebSocket::textMessageReceived, [this](const QString &text) {
                lastTid =
                    QJsonDocument::fromJson(text.toUtf8())[QStringLiteral("tid")].toInt(lastTid);
                ++received;
            });
        });
        connection.SetServicePort(server.serverPort());
        connection.SetHost(QStringLiteral("127.0.0.1:1502"));
        RunUntil([this] { return connection.State() == Acpu::Connection::Connected && peer; });
    }

    void EnsureRequest(bool write)
    {
        if (request && !request->IsFinished() &&
            (request->GetType() == Acpu::Request::Write) == write)
            return;
        delete request; // an unfinished one: its answers are then ignored
        const int before = received;
        const Acpu::VarRanges ranges{{0, 61}, {4096, 20}};
        const auto result =
            write ? connection.Write(ranges, QList<Acpu::Value>(81, Acpu::Value{++requests}))
                  : connection.Read(ranges);
        if (!result)
            return;
        request = *result;
        RunUntil([&] { return received != before; });
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness harness;
    QString text = QString::fromUtf8(QByteArrayView(data, qsizetype(size)));
    // Write answers need a write request to match.
    harness.EnsureRequest(text.contains(QStringLiteral("set_vars_done")));
    text.replace(QStringLiteral("TID"), QString::number(harness.lastTid));
    const qint64 before = harness.request ? harness.request->Transferred() : 0;
    const int sent = harness.received;
    QMetaObject::invokeMethod(&harness.connection, "OnMessage", Qt::DirectConnection,
                              Q_ARG(QString, text));
    // A completed chunk sends the next one: wait until the peer has it, so
    // the next input can answer it.
    if (harness.request && !harness.request->IsFinished() &&
        harness.request->Transferred() != before)
        RunUntil([&] { return harness.received != sent; });
    RunQueuedWork();
    return 0;
}
