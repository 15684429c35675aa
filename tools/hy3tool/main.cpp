// hy3tool: make, inspect and check route fare-data files (.hy3) from the command line.
#include "fare/FareEngine.h"
#include "fare/Hy3File.h"
#include "hy3tool/RouteCsv.h"

#include <QFile>
#include <QSaveFile>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

int usage() {
    std::cerr << "usage:\n"
                 "  hy3tool dump FILE.hy3          write the route as CSV to standard output\n"
                 "  hy3tool build IN.csv OUT.hy3   make a route file from CSV\n"
                 "  hy3tool check FILE.hy3         tell whether the program would load the file\n"
                 "build and check warn of fares with more digits than a fare cell shows, by day or at night\n";
    return 2;
}

// Fares are only warned about: the board shows what it can of them, as the hardware does.
void warnDigits(const std::string& path, const std::vector<fare::FareRecord>& records) {
    for (const std::string& w : routecsv::fareDigitWarnings(records)) std::cerr << path << ": warning: " << w << '\n';
}

// The records of a route file, or nullopt after saying on standard error why there are none.
std::optional<std::vector<fare::FareRecord>> readRoute(const std::string& path) {
    std::error_code ec;
    std::optional<std::string> bytes;
    if (std::filesystem::is_regular_file(path, ec)) bytes = fare::hy3::loadBytes(path);
    std::string error = path + ": cannot be read";
    std::optional<std::vector<fare::FareRecord>> records;
    if (bytes) records = fare::hy3::read(*bytes, &error);
    if (!records) std::cerr << error << '\n';
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
    // Written under a fresh name beside the target and renamed over it only once complete, so a
    // failed run never leaves half a file and two builds of one target never share a file.
    QSaveFile o(QFile::decodeName(out.c_str()));
    if (!o.open(QIODevice::WriteOnly) || o.write(bytes->data(), static_cast<qint64>(bytes->size())) !=
                                             static_cast<qint64>(bytes->size()) || !o.commit()) {
        std::cerr << out << ": cannot be written (" << o.errorString().toStdString() << ")\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "dump") return dump(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "check") return check(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "build") return build(argv[2], argv[3]);
    return usage();
}
