#pragma once
// Routes of an open-data feed (GTFS-JP: a .zip or a folder of its tables) made into a route
// file, a broadcast table and the readings of their names.
#include "fare/FareTable.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gtfs {

// The routes, one line each, with the stop patterns of each direction below them.
std::optional<std::string> listRoutes(const std::string& feed, std::string* error);

struct Request {
    std::string route;
    std::optional<int> direction; // none: every direction
    std::string trip;             // empty: the most used stop pattern
};

struct Imported {
    std::vector<fare::FareRecord> records;
    std::string tapeTable;                                     // CP932, CR LF
    std::vector<std::pair<std::string, std::string>> readings; // name as written, katakana
    std::vector<std::string> warnings; // names changed for CP932, missing fares, unusable readings
};

// nullopt, and in `error` the file, line and field, when the feed cannot give the route.
std::optional<Imported> importRoute(const std::string& feed, const Request& request, std::string* error);

// A readings dictionary with these entries: the lines of `existing` for other names are kept
// as they are, those for the same names replaced.
std::string mergeReadings(const std::string& existing,
                          const std::vector<std::pair<std::string, std::string>>& readings);

// The name as CP932 can hold it: each character it has no code for becomes its substitute
// (a table of look-alikes, then the compatibility form, else 〓), each said in `changes`.
std::string cp932Name(const std::string& utf8, std::vector<std::string>* changes);

} // namespace gtfs
