#pragma once
// Fares longer than a fare cell shows, as a route author is warned of them wherever a route is
// made: from CSV, or from an open-data feed.
#include "fare/FareTable.h"

#include <string>
#include <vector>

namespace fare {

// One line per fare that a cell would cut (it keeps only its rightmost digits), by day or
// doubled at night, naming the record, its stop and the cell.
std::vector<std::string> fareDigitWarnings(const std::vector<FareRecord>& records);

} // namespace fare
