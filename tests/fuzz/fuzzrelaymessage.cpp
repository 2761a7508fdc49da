// Feeds arbitrary client messages to the relay's message handler, against a
// machine kept in memory, and arbitrary request paths to its path parser.
#include "fuzzharness.h"
#include "relaydispatcher.h"
#include "relayserver.h"

#include "acpu/offlineconnection.h"

#include <QJsonDocument>

namespace {
struct Harness : FuzzApplication
{
    Acpu::OfflineConnection machine;
    RelayDispatcher dispatcher{&machine};
    qsizetype answered = 0;

    Harness()
    {
        machine.Open();
        // Serialise every answer as the session would send it.
        QObject::connect(&dispatcher, &RelayDispatcher::answer, [this](const QJsonObject &event) {
            answered += QJsonDocument(event).toJson(QJsonDocument::Compact).size();
        });
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness harness;
    const QString text = QString::fromUtf8(QByteArrayView(data, qsizetype(size)));
    // A leading control byte takes the machine away for this input, so the
    // backlog of a connecting machine is exercised too.
    const bool offline = size > 0 && data[0] == 0x01;
    if (offline)
        harness.machine.Close();
    harness.dispatcher.handleMessage(text);
    if (offline)
        harness.machine.Open();
    RelayServer::hostFromPath(text);
    RunQueuedWork();
    return 0;
}
