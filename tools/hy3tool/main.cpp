// hy3tool: make, inspect and check route fare-data files (.hy3) from the command line.
#include "fare/FareEngine.h"
#include "fare/Hy3File.h"
#include "hy3tool/Gtfs.h"
#include "hy3tool/RouteCsv.h"

#include <QFile>
#include <QSaveFile>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

namespace {

const char* const Usage =
    "usage:\n"
    "  hy3tool dump FILE.hy3          write the route as CSV to standard output\n"
    "  hy3tool build IN.csv OUT.hy3   make a route file from CSV\n"
    "  hy3tool check FILE.hy3         tell whether the program would load the file\n"
    "  hy3tool gtfs FEED list         the routes of an open-data feed (.zip or folder) and their stop patterns\n"
    "  hy3tool gtfs FEED --route ID [--direction 0|1] [--trip TRIP_ID] --number N --out DIR\n"
    "                                 write DIR/N.hy3, DIR/Ntp.csv and the readings into DIR/readings.tsv\n"
    "build and check warn of fares with more digits than a fare cell shows, by day or at night;\n"
    "dump and check warn of stop names holding bytes that CP932 cannot decode\n";

int usage() {
    std::cerr << Usage;
    return 2;
}

// Fares are only warned about: the board shows what it can of them, as the hardware does.
void warnDigits(const std::string& path, const std::vector<fare::FareRecord>& records) {
    for (const std::string& w : routecsv::fareDigitWarnings(records)) std::cerr << path << ": warning: " << w << '\n';
}

// Each file is written under a fresh name beside its target and renamed over it only once every
// one is complete, so a failed run never leaves half a file and two runs never share a file.
bool save(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::unique_ptr<QSaveFile>> saving;
    for (const auto& [path, bytes] : files) {
        auto& o = *saving.emplace_back(std::make_unique<QSaveFile>(QFile::decodeName(path.c_str())));
        if (!o.open(QIODevice::WriteOnly) ||
            o.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
            std::cerr << path << ": cannot be written (" << o.errorString().toStdString() << ")\n";
            return false;
        }
    }
    for (size_t i = 0; i < files.size(); ++i)
        if (!saving[i]->commit()) {
            std::cerr << files[i].first << ": cannot be written (" << saving[i]->errorString().toStdString() << ")\n";
            return false;
        }
    return true;
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

// hy3tool gtfs FEED --route ID [--direction 0|1] [--trip TRIP_ID] --number N --out DIR
int gtfsImport(const std::string& feed, const std::vector<std::string>& args) {
    gtfs::Request request;
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
    std::string error;
    const auto imported = gtfs::importRoute(feed, request, &error);
    if (!imported) {
        std::cerr << feed << ": " << error << '\n';
        return 1;
    }
    for (const std::string& w : imported->warnings) std::cerr << feed << ": warning: " << w << '\n';
    const auto bytes = fare::hy3::write(imported->records, &error);
    if (!bytes) {
        std::cerr << feed << ": " << error << '\n';
        return 1;
    }
    const std::string route = std::to_string(std::stoi(number));
    const std::filesystem::path dir(out);
    warnDigits((dir / (route + ".hy3")).string(), imported->records);
    std::string readings;
    const std::filesystem::path readingsFile = dir / "readings.tsv";
    if (std::filesystem::exists(readingsFile, ec)) {
        std::ifstream in(readingsFile, std::ios::binary);
        readings.assign(std::istreambuf_iterator<char>(in), {});
        if (in.bad()) {
            std::cerr << readingsFile.string() << ": cannot be read\n";
            return 1;
        }
    }
    std::vector<std::pair<std::string, std::string>> files = {
        {(dir / (route + ".hy3")).string(), *bytes}, {(dir / (route + "tp.csv")).string(), imported->tapeTable}};
    if (!imported->readings.empty())
        files.emplace_back(readingsFile.string(), gtfs::mergeReadings(readings, imported->readings));
    return save(files) ? 0 : 1;
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
    if (argc == 4 && std::string(argv[1]) == "gtfs" && std::string(argv[3]) == "list") {
        std::string error;
        const auto routes = gtfs::listRoutes(argv[2], &error);
        if (!routes) std::cerr << argv[2] << ": " << error << '\n';
        std::cout << routes.value_or("");
        return routes ? 0 : 1;
    }
    if (argc >= 4 && std::string(argv[1]) == "gtfs")
        return gtfsImport(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    return usage();
}
