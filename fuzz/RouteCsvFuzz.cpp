// Feeds arbitrary text to the route CSV reader: it may not crash, and whatever it accepts must
// survive a write and read back unchanged and make a .hy3 file.
#include "fare/Hy3File.h"
#include "hy3tool/RouteCsv.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    auto records = routecsv::fromCsv(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (!records) return 0;
    auto back = routecsv::fromCsv(routecsv::toCsv(*records), &error);
    if (!back || *back != *records) std::abort();
    // The reader takes any UTF-8 name, and .hy3 only what CP932 holds in 65535 bytes.
    (void)fare::hy3::write(*records, &error);
    return 0;
}
