// hy3tool: make, inspect and check route fare-data files (.hy3) from the command line.
#include "fare/FareDigits.h"
#include "fare/FareEngine.h"
#include "fare/Hy3File.h"
#include "hy3tool/RouteCsv.h"
#include "opendata/RouteWriter.h"
#include "opendata/Timetable.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

namespace {

const char* const Usage =
    "usage:\n"
    "  hy3tool dump FILE.hy3          write the route as CSV to standard output\n"
    "  hy3tool build IN.csv OUT.hy3   make a route file from CSV\n"
    "  hy3tool check FILE.hy3         tell whether the program would load the file\n"
    "  hy3tool gtfs FEED list         the routes of an open-data feed (.zip or folder) and their stop patterns\n"
    "  hy3tool gtfs FEED --route ID [--direction 0|1] [--trip TRIP_ID] --number N --out DIR\n"
    "                                 write DIR/N.hy3, DIR/Ntp.csv, the times DIR/Ntimes.csv and the readings\n"
    "                                 into DIR/readings.tsv\n"
    "build and check warn of fares with more digits than a fare cell shows, by day or at night;\n"
    "dump and check warn of stop names holding bytes that CP932 cannot decode\n";

int usage() {
    std::cerr << Usage;
    return 2;
}

// Fares are only warned about: the board shows what it can of them, as the hardware does.
void warnDigits(const std::string& path, const std::vector<fare::FareRecord>& records) {
    for (const std::string& w : fare::fareDigitWarnings(records)) std::cerr << path << ": warning: " << w << '\n';
}

// Every file or none, under the same rules as an imported route.
bool save(const std::vector<std::pair<std::filesystem::path, std::string>>& files) try {
    opendata::writeAll(files);
    return true;
} catch (const opendata::Error& e) {
    std::cerr << e.what() << '\n';
    return false;
}

// The records of a route file, or nullopt after saying on standard error why there are none.
std::optional<std::vector<fare::FareRecord>> readRoute(const std::string& path) {
    std::error_code ec;
    std::optional<std::string> bytes;
    if (std::filesystem::is_regular_file(path, ec)) bytes = fare::hy3::loadBytes(path);
    std::string error = path + ": cannot be read";
    std::optional<std::vector<fare::FareRecord>> records;
    if (bytes) records = fare::hy3::read(*bytes, &error);
    if (!records)
        std::cerr << error << '\n';
    else
        for (const std::string& w : routecsv::undecodableNameWarnings(*records))
            std::cerr << path << ": warning: " << w << '\n';
    return records;
}

int dump(const std::string& path) {
    auto records = readRoute(path);
    if (!records) return 1;
    std::cout << routecsv::toCsv(*records);
    return 0;
}

int check(const std::string& path) {
    auto records = readRoute(path);
    if (!records) return 1;
    // The board always starts at the first section, which needs a record after it.
    if (records->empty()) {
        std::cerr << fare::ZeroCountMessage << " (0 records)\n";
        return 1;
    }
    if (records->size() < 2) {
        std::cerr << "1 record: a route needs at least 2 records to be set from its first section\n";
        return 1;
    }
    warnDigits(path, *records);
    std::cout << records->size() << " records\n";
    return 0;
}

int build(const std::string& in, const std::string& out) {
    std::ifstream file(in, std::ios::binary);
    if (!file) {
        std::cerr << in << ": cannot be read\n";
        return 1;
    }
    std::string error;
    auto records = routecsv::fromCsv(file, &error);
    if (file.bad()) {
        std::cerr << in << ": cannot be read\n";
        return 1;
    }
    std::optional<std::string> bytes;
    if (records) {
        warnDigits(in, *records);
        bytes = fare::hy3::write(*records, &error);
    }
    if (!bytes) {
        std::cerr << in << ": " << error << '\n';
        return 1;
    }
    return save({{out, *bytes}}) ? 0 : 1;
}

std::string directionText(int d) { return d < 0 ? "-" : std::to_string(d); }

// The routes, one line each (with the agency when there are several), with the stop patterns of
// each direction below them.
int gtfsList(const std::string& path) try {
    opendata::Feed feed(path);
    const auto t = opendata::Timetable::read(feed);
    for (uint32_t r = 0; r < t.routes().size(); ++r) {
        const opendata::Route& route = t.routes()[r];
        std::cout << route.id << "\t" << route.shortName << "\t" << route.longName;
        if (t.severalAgencies()) std::cout << "\t" << route.agency;
        std::cout << "\n";
        for (int d : {-1, 0, 1})
            for (const auto& p : t.patterns(r, [d](const opendata::Trip& trip) { return trip.direction == d; }))
                std::cout << "\tdirection " << directionText(d) << ": " << t.stops()[p.stops.front()].name << " - "
                          << t.stops()[p.stops.back()].name << ", " << p.stops.size() << " stops, " << p.trips
                          << (p.trips == 1 ? " trip (" : " trips (") << t.trips()[p.firstTrip].id << ")\n";
    }
    return 0;
} catch (const opendata::Error& e) {
    std::cerr << path << ": " << e.what() << '\n';
    return 1;
}

// hy3tool gtfs FEED --route ID [--direction 0|1] [--trip TRIP_ID] --number N --out DIR
int gtfsImport(const std::string& feed, const std::vector<std::string>& args) {
    opendata::Request request;
    std::string number, out;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string& option = args[i];
        const std::string& value = args[i + 1];
        if (option == "--route")
            request.route = value;
        else if (option == "--trip")
            request.trip = value;
        else if (option == "--number")
            number = value;
        else if (option == "--out")
            out = value;
        else if (option == "--direction" && (value == "0" || value == "1"))
            request.direction = value[0] - '0';
        else
            return usage();
    }
    const bool digits =
        !number.empty() && number.size() <= 5 && number.find_first_not_of("0123456789") == std::string::npos;
    if (args.size() % 2 != 0 || request.route.empty() || out.empty() || !digits || std::stoi(number) == 0) {
        if (!number.empty() && !digits) std::cerr << "--number " << number << ": a route number is 1 to 5 digits\n";
        return usage();
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(out, ec)) {
        std::cerr << out << ": no such folder\n";
        return 1;
    }
    std::optional<opendata::RouteWriter> writer;
    try {
        opendata::Feed opened(feed);
        const auto imported = opendata::Timetable::read(opened).prepare(request);
        for (const std::string& w : imported.warnings) std::cerr << feed << ": warning: " << w << '\n';
        writer.emplace(imported, out, std::stoi(number));
        warnDigits(writer->routeFile().string(), imported.records);
    } catch (const opendata::Error& e) {
        std::cerr << feed << ": " << e.what() << '\n';
        return 1;
    }
    try {
        writer->write();
    } catch (const opendata::Error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << Usage
                  << "\noptions:\n"
                     "  -h, --help    show this help\n"
                     "  --version     show the version and the licence\n";
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "hy3tool " FERIO_VERSION "\nLicence: " FERIO_LICENSE
                     " <https://www.gnu.org/licenses/gpl-3.0.html>\n"
                     "This is free software: you are free to change and redistribute it.\n"
                     "There is NO WARRANTY, to the extent permitted by law.\n";
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "dump") return dump(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "check") return check(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "build") return build(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "gtfs" && std::string(argv[3]) == "list") return gtfsList(argv[2]);
    if (argc >= 4 && std::string(argv[1]) == "gtfs")
        return gtfsImport(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    return usage();
}
