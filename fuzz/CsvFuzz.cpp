// Feeds arbitrary bytes to the one CSV reader (route CSV, broadcast tables, open-data feeds): it
// may not crash, never hands out a field or a row past its bounds, and its rows start on lines
// that only grow and that the input has.
#include "reslib/Csv.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Small bounds, so that inputs of a few kilobytes reach them.
    const csv::Limits limits{64, 256};
    std::istringstream in(bytes);
    csv::Reader reader(in, limits);
    const int lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    int last = 0;
    std::vector<std::string> fields;
    for (csv::Reader::Next next; (next = reader.next(fields)) != csv::Reader::Next::End;) {
        if (next == csv::Reader::Next::Error) {
            if (reader.error().rfind("line ", 0) != 0) std::abort();
            break;
        }
        size_t row = 0;
        for (const std::string& f : fields) {
            if (f.size() > limits.fieldBytes) std::abort();
            row += f.size();
        }
        if (fields.empty() || row > limits.rowBytes || reader.line() <= last || reader.line() > lines) std::abort();
        last = reader.line();
    }
    return 0;
}
