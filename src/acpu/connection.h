#pragma once

#include "acpu/display.h"
#include "acpu/request.h"
#include "acpu/varrange.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QTimer>

#include <expected>
#include <utility>

namespace Acpu {

// One machine's control unit behind some transport: panel mirror with a poll
// timer, key sending, and bulk variable reads and writes through requests.
class Connection : public QObject
{
    Q_OBJECT
public:
    enum ConnectionState
    {
        Offline = 0,
        Disconnected = 1,
        Connecting = 2,
        Connected = 3
    };
    Q_ENUM(ConnectionState)
    enum Error
    {
        NoError = 0,
        NotConnected = 1
    };
    Q_ENUM(Error)
    using Result = std::expected<Request *, Error>;

    // A connection attempt that has not succeeded by then is given up.
    static constexpr int ConnectTimeoutMs = 5000;
    // Error number of a given-up attempt: the time-out of both the socket
    // (QAbstractSocket::SocketTimeoutError) and Modbus (QModbusDevice::TimeoutError).
    static constexpr int TimeoutErrorCode = 5;
    // Reconnect attempts while disconnected: the first at once, then after
    // this delay, doubling up to the maximum, until a refresh succeeds.
    static constexpr int FirstReconnectDelayMs = 200;
    static constexpr int MaxReconnectDelayMs = 5000;

    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    virtual int ReadInt(int index) = 0;
    virtual float ReadFloat(int index) = 0;
    virtual Result Read(const VarRanges &ranges) = 0;
    virtual Result Write(const VarRanges &ranges, const QList<Value> &values) = 0;
    virtual void GetDisplay(Display &out) = 0;
    virtual void SendKey(int code) = 0;
    virtual bool IsBusy() = 0;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual void Refresh() = 0;

    QString Host() const { return m_host; }
    bool SetHost(const QString &newHost);
    void Disconnect() { Close(); }
    ConnectionState State() const { return m_state; }
    int ErrorCode() const { return m_errorCode; }
    QString ErrorString() const { return m_errorString; }
    void StartPolling();
    void StopPolling();
    bool IsPolling() const { return m_polling; }

    Result WriteInt(int index, int value);
    Result WriteFloat(int index, float value);
    Result WriteValues(const QList<std::pair<int, float>> &items);

    VarRanges PollRanges() const { return m_pollRanges; }

signals:
    void stateChanged(Acpu::Connection::ConnectionState state);
    void errorOccurred(int code, QString message);
    void pollingFinished();
    void pollingStalled();

protected:
    void SetState(ConnectionState newState);
    void SetError(int code, const QString &message);
    // A panel refresh failed: reported through errorOccurred once per outage
    // (and again when the reason changes); pollingFinished() ends the outage.
    void RefreshFailed(int code, const QString &message);
    void AddPollRanges(const VarRanges &ranges);
    // Where the base logs reconnects and refresh failures of this transport.
    void SetLogCategory(const QLoggingCategory &(*category)()) { m_logCategory = category; }

private slots:
    void OnPollTimeout();

private:
    void OnConnectTimeout();
    void OnRefreshSucceeded();
    void Reconnect();

    QString m_host;
    VarRanges m_pollRanges;
    QTimer pollTimer;
    ConnectionState m_state = Disconnected;
    bool m_polling = false;
    int m_errorCode = 0;
    int stallCount = 0;
    QString m_errorString;
    QTimer m_connectTimer;
    QElapsedTimer m_sinceReconnect;
    int m_reconnectDelayMs = FirstReconnectDelayMs;
    bool m_refreshFailing = false;
    const QLoggingCategory &(*m_logCategory)();
};

} // namespace Acpu
