#pragma once
// The route-author's CSV form of a .hy3 file: a header "record,name,ticket,c1,...", then one
// line per record. Any subset of the columns c1 ... c150 may be given; absent ones are 0.
#include "fare/FareTable.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace routecsv {

// Every record with all 150 columns, UTF-8, LF line ends.
std::string toCsv(const std::vector<fare::FareRecord>& records);

// Parses an author's CSV. On failure returns nullopt and a message that names the line. Reading
// stops at the first error, so a file with too many records is refused without reading the rest.
std::optional<std::vector<fare::FareRecord>> fromCsv(std::istream& in, std::string* error);
std::optional<std::vector<fare::FareRecord>> fromCsv(std::string_view text, std::string* error);

// One line per stored name that holds bytes CP932 cannot decode: they read as U+FFFD, which
// the CSV can show but never carry back into a route file.
std::vector<std::string> undecodableNameWarnings(const std::vector<fare::FareRecord>& records);

} // namespace routecsv
