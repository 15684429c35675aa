#include "opendata/RouteWriter.h"

#include "fare/Hy3File.h"
#include "fare/StopTimes.h"
#include "reslib/Cp932.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace opendata {
namespace {

const char* const ReadingsFile = "readings.tsv";

std::string readingsKey(const std::string& name) {
    std::string key = cp932::compatible(name);
    key.erase(0, key.find_first_not_of(" \t\r\n\v\f"));
    key.erase(key.find_last_not_of(" \t\r\n\v\f") + 1);
    return key;
}

} // namespace

RouteWriter::RouteWriter(const ImportedRoute& route, const fs::path& folder, int number) : readings_(route.readings) {
    std::string error;
    const auto bytes = fare::hy3::write(route.records, &error);
    if (!bytes) throw Error(error);
    const std::string n = std::to_string(number);
    files_ = {{folder / (n + ".hy3"), *bytes}, {folder / (n + "tp.csv"), route.tapeTable}};
    const fs::path times = folder / (n + "times.csv");
    if (route.times.empty())
        staleTimes_ = times;
    else
        files_.emplace_back(times, fare::stoptimes::write(route.times));
    if (!readings_.empty()) files_.emplace_back(folder / ReadingsFile, std::string());
}

void RouteWriter::write() const {
    auto files = files_;
    if (!readings_.empty()) {
        const fs::path& path = files.back().first;
        std::string existing;
        std::error_code ec;
        if (fs::exists(path, ec)) {
            std::ifstream in(path, std::ios::binary);
            existing.assign(std::istreambuf_iterator<char>(in), {});
            if (in.bad()) throw Error(path.string() + ": cannot be read");
        }
        files.back().second = mergeReadings(existing, readings_);
    }
    writeAll(files);
    // Times left from an earlier route of this number would pace a ride that is not theirs.
    if (!staleTimes_.empty() && ::unlink(staleTimes_.c_str()) != 0 && errno != ENOENT)
        throw Error(staleTimes_.string() + ": cannot be removed (" + std::strerror(errno) + ")");
}

std::string mergeReadings(const std::string& existing,
                          const std::vector<std::pair<std::string, std::string>>& readings) {
    std::set<std::string> replaced;
    for (const auto& entry : readings) replaced.insert(readingsKey(entry.first));
    std::string out;
    // Editors may start the file with a byte-order mark; it is not part of the first name.
    std::istringstream in(existing.starts_with("\xEF\xBB\xBF") ? existing.substr(3) : existing);
    for (std::string line; std::getline(in, line);) {
        const std::string name = line.substr(0, line.find('\t'));
        if (line.find('\t') != std::string::npos && replaced.contains(readingsKey(name))) continue;
        out += line + "\n";
    }
    for (const auto& [name, reading] : readings) out += name + "\t" + reading + "\n";
    return out;
}

void writeAll(const std::vector<std::pair<fs::path, std::string>>& files) {
    std::vector<std::string> temporary;
    auto fail = [&](const fs::path& path, int error) {
        for (const std::string& t : temporary) ::unlink(t.c_str());
        throw Error(path.string() + ": cannot be written (" + std::strerror(error) + ")");
    };
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (const auto& [path, bytes] : files) {
        // mkstemp opens a name nobody had, so a link planted beside the target is never followed.
        std::string name = path.string() + ".XXXXXX";
        const int fd = ::mkstemp(name.data());
        if (fd < 0) fail(path, errno);
        temporary.push_back(name);
        struct stat old {};
        const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
        bool ok = ::fchmod(fd, mode) == 0;
        for (size_t done = 0; ok && done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            ok = n > 0;
            if (ok) done += static_cast<size_t>(n);
        }
        ok = ok && ::fsync(fd) == 0;
        const int error = errno;
        if (::close(fd) != 0 && ok) fail(path, errno);
        if (!ok) fail(path, error);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (::rename(temporary[i].c_str(), files[i].first.c_str()) != 0) {
            const int error = errno;
            temporary.erase(temporary.begin(), temporary.begin() + static_cast<long>(i));
            fail(files[i].first, error);
        }
    }
}

} // namespace opendata
