#pragma once

#include "acpu/connection.h"

#include <QHash>

namespace Acpu {

// A connection with no machine behind it: a fixed panel that echoes keys and
// variables kept in memory. Requests finish on the next event-loop turn.
class OfflineConnection : public Connection
{
    Q_OBJECT
public:
    explicit OfflineConnection(QObject *parent = nullptr);
    ~OfflineConnection() override;

    int ReadInt(int index) override;
    float ReadFloat(int index) override;
    Result Read(const VarRanges &ranges) override;
    Result Write(const VarRanges &ranges, const QList<Value> &values) override;
    void GetDisplay(Display &out) override;
    void SendKey(int code) override;
    bool IsBusy() override { return false; }
    bool Open() override;
    void Close() override;
    void Refresh() override;

private:
    static void FinishLater(Request *request);

    QHash<int, quint32> m_variables;
    Display m_display;
};

} // namespace Acpu
