#pragma once
// An imported route written into a fare-data folder: the route file N.hy3, its broadcast table
// Ntp.csv, the trip's times Ntimes.csv when it has them all and, when the feed gives readings,
// readings.tsv with them merged in. All or nothing.
#include "opendata/Timetable.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace opendata {

class RouteWriter {
public:
    // Throws Error when the records cannot make a route file.
    RouteWriter(const ImportedRoute& route, const std::filesystem::path& folder, int number);

    const std::filesystem::path& routeFile() const { return files_.front().first; }
    // Reads the folder's readings.tsv to merge into and writes every file; throws Error, whose
    // text names the file, when one cannot be read or written, and then leaves every file alone.
    void write() const;

private:
    std::vector<std::pair<std::filesystem::path, std::string>> files_;
    std::vector<std::pair<std::string, std::string>> readings_;
    std::filesystem::path staleTimes_; // removed once the others are written, for a route without times
};

// A readings dictionary with these entries: the lines of `existing` for other names are kept
// as they are, those for the same names replaced.
std::string mergeReadings(const std::string& existing,
                          const std::vector<std::pair<std::string, std::string>>& readings);

// Each file is written under a fresh name beside its target and renamed over it only once every
// one is complete, so a failed run never leaves half a file and two runs never share a file.
// Throws Error "<path>: cannot be written (<why>)".
void writeAll(const std::vector<std::pair<std::filesystem::path, std::string>>& files);

} // namespace opendata
