#include "acpu/offlineconnection.h"

#include <QTimer>

#include <bit>

namespace Acpu {

OfflineConnection::OfflineConnection(QObject *parent) : Connection(parent)
{
    m_display.setLine1(QStringLiteral("===================="));
    m_display.setLine2(QStringLiteral("    Offline mode    "));
    m_display.setLine3(QString(20, QLatin1Char(' ')));
    m_display.setLine4(QStringLiteral("===================="));
    m_display.setRunLed(true);
    m_display.setErrorLed(false);
    m_display.setMode1Led(true);
    m_display.setMode2Led(false);
}

OfflineConnection::~OfflineConnection()
{
    blockSignals(true);
    Close();
}

int OfflineConnection::ReadInt(int index)
{
    return static_cast<int>(m_variables.value(index));
}

float OfflineConnection::ReadFloat(int index)
{
    return std::bit_cast<float>(m_variables.value(index));
}

void OfflineConnection::FinishLater(Request *request)
{
    // The request is the timer's context: deleting it drops the finish.
    QTimer::singleShot(0, request, [request] { request->SetFinished(true); });
}

Connection::Result OfflineConnection::Read(const VarRanges &ranges)
{
    auto *request = new Request(ranges, -1);
    for (VarRange chunk = request->NextChunk(); !chunk.isEmpty(); chunk = request->NextChunk()) {
        for (qint64 i = 0; i < chunk.length; ++i) {
            const int index = static_cast<int>(chunk.start + i);
            if (!m_variables.contains(index))
                m_variables.insert(index, 0);
        }
    }
    FinishLater(request);
    return request;
}

Connection::Result OfflineConnection::Write(const VarRanges &ranges, const QList<Value> &values)
{
    auto *request = new Request(ranges, -1, QList<Value>(values));
    for (auto [chunk, chunkValues] = request->NextChunkWithValues(); !chunk.isEmpty();
         std::tie(chunk, chunkValues) = request->NextChunkWithValues()) {
        for (qsizetype k = 0; k < chunkValues.size(); ++k)
            m_variables.insert(static_cast<int>(chunk.start + k), ValueBits(chunkValues.at(k)));
    }
    FinishLater(request);
    return request;
}

void OfflineConnection::GetDisplay(Display &out)
{
    out.Assign(m_display);
}

void OfflineConnection::SendKey(int code)
{
    m_display.setLine3(QStringLiteral(" Last sent key = %1 ").arg(code, 2, 16, QLatin1Char('0')));
}

bool OfflineConnection::Open()
{
    SetState(Connected);
    return true;
}

void OfflineConnection::Close()
{
    SetState(Disconnected);
}

void OfflineConnection::Refresh()
{
    emit pollingFinished();
}

} // namespace Acpu
