// Feeds arbitrary bytes to the readings-dictionary reader: it may not crash, every line is either
// taken or named as damaged, and what it takes has a surface and a reading in katakana.
#include "sound/ReadingsTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const ReadingsTable table = parseReadings(bytes, QStringLiteral("fuzz"));
    if (table.readings.size() + table.damaged.size() > bytes.count('\n') + 1) std::abort();
    for (auto it = table.readings.cbegin(); it != table.readings.cend(); ++it) {
        if (it.key().isEmpty() || it.value().isEmpty()) std::abort();
        for (QChar c : it.value())
            if (c.unicode() < 0x30A1 || c.unicode() > 0x30FE) std::abort();
    }
    return 0;
}
