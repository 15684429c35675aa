// Feeds arbitrary bytes to the broadcast-table reader: it may not crash, and a table it accepts
// holds at most one entry per line.
#include "sound/mdlM_Tape.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto table = parseTapeTable(bytes);
    if (table && (table->empty() || table->size() > size_t(std::ranges::count(bytes, '\n')) + 1)) std::abort();
    return 0;
}
