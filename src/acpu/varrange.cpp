#include "acpu/varrange.h"

#include <algorithm>
#include <bit>

namespace Acpu {

VarRanges NormalizeRanges(VarRanges ranges)
{
    if (ranges.isEmpty())
        return ranges;
    std::sort(ranges.begin(), ranges.end(),
              [](const VarRange &a, const VarRange &b) { return a.start < b.start; });
    VarRanges result;
    VarRange current = ranges.first();
    for (qsizetype i = 1; i < ranges.size(); ++i) {
        const VarRange &next = ranges.at(i);
        if (current.last() + 1 >= next.start) {
            const qint64 last = std::max(current.last(), next.last());
            current.length = last - current.start + 1;
        } else {
            result.append(current);
            current = next;
        }
    }
    result.append(current);
    return result;
}

quint32 ValueBits(const Value &value)
{
    if (const int *i = std::get_if<int>(&value))
        return static_cast<quint32>(*i);
    return std::bit_cast<quint32>(std::get<float>(value));
}

} // namespace Acpu
