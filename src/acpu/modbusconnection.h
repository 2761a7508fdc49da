#pragma once

#include "acpu/connection.h"

#include <QElapsedTimer>
#include <QHash>
#include <QModbusDevice>
#include <QSet>
#include <QTimer>

#include <vector>

class QModbusReply;
class QModbusTcpClient;

namespace Acpu {

// The connection over Modbus TCP straight to the control unit: every
// variable is two holding registers, low half in the lower register.
class ModbusConnection : public Connection
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 502;
    static constexpr int ServerAddress = 1;
    static constexpr int ResponseTimeoutMs = 200;
    // How long a chunk may stay unanswered after the time-out before we give
    // up on it and drop the transport.
    static constexpr int WatchdogMs = ResponseTimeoutMs + 1000;
    static constexpr qint64 ChunkLength = 60;
    // Register addresses are 16 bits: variables beyond this cannot be reached.
    static constexpr int LastVariable = 32767;

    explicit ModbusConnection(QObject *parent = nullptr);
    ~ModbusConnection() override;

    int ReadInt(int index) override;
    float ReadFloat(int index) override;
    Result Read(const VarRanges &ranges) override;
    Result Write(const VarRanges &ranges, const QList<Value> &values) override;
    void GetDisplay(Display &out) override;
    void SendKey(int code) override;
    bool IsBusy() override;
    bool Open() override;
    void Close() override;
    void Refresh() override;

    // One panel line from the register cache, as the display shows it.
    QString DecodeLine(int firstVariable) const;
    // How long one answer may take (ResponseTimeoutMs by default); from the
    // next request on.
    void SetResponseTimeout(int ms);

private slots:
    void OnStateChanged(QModbusDevice::State state);
    void OnModbusError(QModbusDevice::Error error);
    void OnReplyFinished();
    void RemoveDestroyedRequest(QObject *object);
    void RemoveDestroyedReply(QObject *object);

private:
    void CreateClient();
    void SendChunk(Request *request, const VarRange &chunk, const QList<Value> &values, bool first);
    void Register(QModbusReply *reply, Request *request);
    void CompleteReply(QModbusReply *reply, Request *request);
    // Whether the reply answers the chunk in flight: function, address, count.
    static bool AnswersChunk(const QModbusReply &reply, const Request &request);
    void OnRefreshPartFinished(Request *request);
    void OnKeyFinished(Request *request);
    static void FailRequest(Request *request, const QString &message, bool deferred);
    void OnWatchdogTick();
    // Fails every request still waiting for a reply (on the next turn).
    void FailPending(const QString &message, QModbusDevice::Error code);
    QString ClientErrorText() const;

    // Every holding register there is, indexed by address: cheaper than a
    // hash for the thousands of registers a bulk read brings.
    std::vector<quint16> m_registers;
    // Keyed by the reply as a plain QObject: a reply being destroyed is no
    // longer a QModbusReply.
    QHash<QObject *, Request *> m_pending;
    QHash<QObject *, qint64> m_deadlines;
    // Reads whose current chunk has timed out once already.
    QSet<QObject *> m_retried;
    int m_responseTimeoutMs = ResponseTimeoutMs;
    QElapsedTimer m_clock;
    QTimer m_watchdog;
    QModbusTcpClient *m_client = nullptr;
    // Poll reads of the running refresh still in flight, and the first
    // error one of them met.
    int m_refreshParts = 0;
    QString m_refreshError;
    // A key was acknowledged while a refresh ran: that refresh may predate
    // the key's effect, so one more follows it.
    bool m_refreshAfterKey = false;
    // Why the last request failed, for the error a failed refresh reports.
    QModbusDevice::Error m_lastFailure = QModbusDevice::NoError;
    // The last answer awaited timed out: a key sent now would wait in the
    // machine's queue and act when it resumes, long after the operator
    // gave up on it.
    bool m_silent = false;
};

} // namespace Acpu
