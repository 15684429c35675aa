// Feeds arbitrary bytes to the .hy3 reader and, as text, to the route CSV reader: neither may
// crash, and whatever either accepts must survive a write and read back unchanged.
#include "fare/Hy3File.h"
#include "hy3tool/RouteCsv.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (auto records = fare::hy3::read(bytes, &error)) {
        // Names that did not decode cleanly come back as U+FFFD, which CP932 cannot hold.
        if (auto again = fare::hy3::write(*records, &error)) {
            auto back = fare::hy3::read(*again, &error);
            if (!back || *back != *records) std::abort();
        }
        (void)routecsv::toCsv(*records);
    }
    if (auto records = routecsv::fromCsv(bytes, &error)) {
        auto back = routecsv::fromCsv(routecsv::toCsv(*records), &error);
        if (!back || *back != *records) std::abort();
        if (!fare::hy3::write(*records, &error)) std::abort();
    }
    return 0;
}
