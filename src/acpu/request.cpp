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
    : QObject(parent), type(Read), count(TotalLength(ranges)), ranges(ranges), maxChunk(maxChunk)
{
    timer.start();
}

Request::Request(const VarRanges &ranges, qint64 maxChunk, QList<Value> &&values, QObject *parent)
    : QObject(parent), type(Write), count(TotalLength(ranges)), values(std::move(values)),
      ranges(ranges), maxChunk(maxChunk)
{
    timer.start();
}

void Request::SetFinished(bool value)
{
    finishedFlag = value;
    if (!value)
        return;
    elapsedMs = timer.elapsed();
    emit finished();
    if (autoDelete)
        deleteLater();
}

VarRange Request::NextChunk()
{
    // Empty ranges carry nothing to transfer; skipping them keeps a
    // zero-length range from ending the iteration early.
    while (rangeIndex < ranges.size() && ranges.at(rangeIndex).length <= 0) {
        ++rangeIndex;
        rangeOffset = 0;
    }
    if (rangeIndex >= ranges.size()) {
        currentChunk = VarRange{};
        return currentChunk;
    }
    const VarRange &range = ranges.at(rangeIndex);
    VarRange chunk;
    if (maxChunk < 0) {
        chunk = range;
        ++rangeIndex;
    } else {
        chunk.start = static_cast<qint32>(range.start + rangeOffset);
        chunk.length = std::min(maxChunk, range.length - rangeOffset);
        if (chunk.last() == range.last()) {
            ++rangeIndex;
            rangeOffset = 0;
        } else {
            rangeOffset += chunk.length;
        }
    }
    consumed += chunk.length;
    currentChunk = chunk;
    return chunk;
}

std::pair<VarRange, QList<Value>> Request::NextChunkWithValues()
{
    const qint64 before = consumed;
    const VarRange chunk = NextChunk();
    return {chunk, values.mid(before, chunk.length)};
}

void Request::AddProgress(qint64 n)
{
    transferred += n;
    if (count <= 0)
        return;
    emit progress(
        static_cast<int>(static_cast<float>(transferred) * 100.0f / static_cast<float>(count)));
}

} // namespace Acpu
