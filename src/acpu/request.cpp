#include "acpu/request.h"

#include <algorithm>

namespace Acpu {

namespace {
qint64 TotalLength(const VarRanges &ranges)
{
    qint64 total = 0;
    for (const VarRange &r : ranges)
        total += r.length;
    return total;
}
} // namespace

Request::Request(const VarRanges &ranges, qint64 maxChunk, QObject *parent)
    : QObject(parent), m_type(Read), m_count(TotalLength(ranges)), m_ranges(ranges),
      m_maxChunk(maxChunk)
{
    m_timer.start();
}

Request::Request(const VarRanges &ranges, qint64 maxChunk, QList<Value> &&values, QObject *parent)
    : QObject(parent), m_type(Write), m_count(TotalLength(ranges)), m_values(std::move(values)),
      m_ranges(ranges), m_maxChunk(maxChunk)
{
    m_timer.start();
}

void Request::SetFinished(bool value)
{
    m_finishedFlag = value;
    if (!value)
        return;
    m_elapsedMs = m_timer.elapsed();
    emit finished();
    if (m_autoDelete)
        deleteLater();
}

VarRange Request::NextChunk()
{
    // Empty ranges carry nothing to transfer; skipping them keeps a
    // zero-length range from ending the iteration early.
    while (m_rangeIndex < m_ranges.size() && m_ranges.at(m_rangeIndex).length <= 0) {
        ++m_rangeIndex;
        m_rangeOffset = 0;
    }
    if (m_rangeIndex >= m_ranges.size()) {
        m_currentChunk = VarRange{};
        return m_currentChunk;
    }
    const VarRange &range = m_ranges.at(m_rangeIndex);
    VarRange chunk;
    if (m_maxChunk < 0) {
        chunk = range;
        ++m_rangeIndex;
    } else {
        chunk.start = static_cast<qint32>(range.start + m_rangeOffset);
        chunk.length = std::min(m_maxChunk, range.length - m_rangeOffset);
        if (chunk.last() == range.last()) {
            ++m_rangeIndex;
            m_rangeOffset = 0;
        } else {
            m_rangeOffset += chunk.length;
        }
    }
    m_consumed += chunk.length;
    m_currentChunk = chunk;
    return chunk;
}

std::pair<VarRange, QList<Value>> Request::NextChunkWithValues()
{
    const qint64 before = m_consumed;
    const VarRange chunk = NextChunk();
    return {chunk, m_values.mid(before, chunk.length)};
}

void Request::AddProgress(qint64 n)
{
    m_transferred += n;
    if (m_count <= 0)
        return;
    // Whole numbers: in float the last step of a long transfer came to 99.
    emit progress(static_cast<int>(m_transferred * 100 / m_count));
}

} // namespace Acpu
