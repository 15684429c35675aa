// hy3tool: make, inspect and check route fare-data files (.hy3) from the command line.
#include "FareEngine.h"
#include "Hy3File.h"
#include "RouteCsv.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

int usage() {
    std::cerr << "usage:\n"
                 "  hy3tool dump FILE.hy3          write the route as CSV to standard output\n"
                 "  hy3tool build IN.csv OUT.hy3   make a route file from CSV\n"
                 "  hy3tool check FILE.hy3         tell whether the program would load the file\n";
    return 2;
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
    std::cout << records->size() << " records\n";
    return 0;
}

int build(const std::string& in, const std::string& out) {
    std::ifstream file(in, std::ios::binary);
    if (!file) {
        std::cerr << in << ": cannot be read\n";
        return 1;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    auto records = routecsv::fromCsv(text.str(), &error);
    std::optional<std::string> bytes;
    if (records) bytes = fare::hy3::write(*records, &error);
    if (!bytes) {
        std::cerr << in << ": " << error << '\n';
        return 1;
    }
    // Written beside the target and renamed over it, so a failed run never leaves half a file.
    const std::string tmp = out + ".tmp";
    {
        std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
        o.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
        o.close();
        if (!o) {
            std::remove(tmp.c_str());
            std::cerr << out << ": cannot be written\n";
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, out, ec);
    if (ec) {
        std::remove(tmp.c_str());
        std::cerr << out << ": " << ec.message() << '\n';
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
