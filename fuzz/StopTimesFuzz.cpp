// Feeds arbitrary bytes to the times-file reader: it may not crash, and whatever it accepts must
// be written back as a file that reads the same.
#include "fare/StopTimes.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto times = fare::stoptimes::read({reinterpret_cast<const char*>(data), size}, nullptr);
    if (times && fare::stoptimes::read(fare::stoptimes::write(*times), nullptr) != times) std::abort();
    return 0;
}
