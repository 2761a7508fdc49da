// libFuzzer target for the message parser: whatever parses must encode again
// and parse back to the same records.
#include "testdata.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto message = Mdns::Message::fromWire(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!message)
        return 0;
    for (const Mdns::Record &record : message->answers + message->additionals)
        if (record.type == Mdns::TXT)
            Mdns::Service::attributesFromTxt(record.txt);
    const QByteArray wire = message->toWire();
    if (wire.isEmpty())
        return 0; // re-encoding may exceed the size limit, nothing else
    const auto again = Mdns::Message::fromWire(wire);
    if (!again || again->questions.size() != message->questions.size() ||
        !TestData::sameRecords(message->answers + message->authorities + message->additionals,
                               again->answers + again->authorities + again->additionals))
        std::abort();
    return 0;
}
