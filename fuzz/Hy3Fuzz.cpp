// Feeds arbitrary bytes to the .hy3 reader: it may not crash, the check before a route set must
// accept exactly what the reader reads, and whatever it accepts must survive a write and read
// back unchanged and turn into the route CSV.
#include "fare/Hy3File.h"
#include "hy3tool/RouteCsv.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto records = fare::hy3::read(bytes, &error);
    if (fare::hy3::check(bytes, nullptr).has_value() != records.has_value()) std::abort();
    if (!records) return 0;
    // Names that did not decode cleanly come back as U+FFFD, which CP932 cannot hold.
    if (auto again = fare::hy3::write(*records, &error)) {
        auto back = fare::hy3::read(*again, &error);
        if (!back || *back != *records) std::abort();
    }
    (void)routecsv::toCsv(*records);
    return 0;
}
