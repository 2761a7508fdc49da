#include "mdns/record.h"

#include <algorithm>

namespace Mdns {

bool Record::sameSet(const Record &other) const
{
    return type == other.type && recordClass == other.recordClass && name == other.name;
}

bool Record::sameRecord(const Record &other) const
{
    if (!sameSet(other))
        return false;
    switch (type) {
    case A:
    case AAAA: {
        // Compare without scope: the wire form carries none.
        const Q_IPV6ADDR mine = address.toIPv6Address();
        const Q_IPV6ADDR theirs = other.address.toIPv6Address();
        return std::equal(mine.c, mine.c + 16, theirs.c) &&
               address.protocol() == other.address.protocol();
    }
    case PTR:
        return target == other.target;
    case SRV:
        return priority == other.priority && weight == other.weight && port == other.port &&
               target == other.target;
    case TXT:
        return txt == other.txt;
    default:
        return true;
    }
}

} // namespace Mdns
