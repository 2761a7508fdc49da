#pragma once

#include <QList>
#include <QtGlobal>

#include <variant>

namespace Acpu {

// A run of consecutive machine variables.
struct VarRange
{
    qint32 start = 0;
    qint64 length = 0;

    qint64 last() const { return start + length - 1; }
    bool isEmpty() const { return length == 0; }
    bool operator==(const VarRange &other) const = default;
};

using VarRanges = QList<VarRange>;

// Sorts by start and merges overlapping or directly adjacent ranges.
VarRanges NormalizeRanges(VarRanges ranges);

// One 32-bit machine variable; only the bits travel, the alternative says how
// the caller meant them.
using Value = std::variant<int, float>;

// The raw 32 bits of a value, whatever alternative it holds.
quint32 ValueBits(const Value &value);

} // namespace Acpu
