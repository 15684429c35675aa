#pragma once
// An open-data feed's tables: the CSV files of a zip archive (found in any folder of it, whatever
// the case of their names) or of a folder. Members are only ever read, never extracted, so a
// name such as ../x or /x reaches no file outside the archive.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

typedef struct zip zip_t;

namespace opendata {

// Why a feed cannot be read or used, with the file, line and field where they are known.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A read that the progress callback stopped.
struct Cancelled : Error {
    Cancelled() : Error("the reading was cancelled") {}
};

// What a feed may hold, so that a crafted archive fills neither memory nor time: each table as
// the archive declares it and as it inflates (512 MiB is several times the largest timetable
// published), and the stops of one trip (a bus route has a few hundred at most).
struct Limits {
    std::uint64_t tableBytes = std::uint64_t{512} << 20;
    std::size_t stopsPerTrip = 1000;
};

class Feed {
public:
    // Throws Error when `path` is neither a folder nor a readable zip archive.
    explicit Feed(const std::string& path, Limits limits = {});
    ~Feed();
    Feed(const Feed&) = delete;
    Feed& operator=(const Feed&) = delete;

    const Limits& limits() const { return limits_; }
    bool has(const std::string& table) const;
    // The bytes of every table as the archive or the folder declares them, for a progress bar.
    std::uint64_t size() const;
    // Called after each block read with the bytes read so far from every table; when it returns
    // false the read stops and throws Cancelled.
    void onProgress(std::function<bool(std::uint64_t)> progress) { progress_ = std::move(progress); }

    // One record of a table after its header; its columns in the order read() was asked for.
    struct Row {
        const std::string& table;
        const std::vector<std::string>& fields;
        const std::vector<int>& at; // the field of each column asked for, -1 when the header lacks it
        int line;
        std::string_view operator[](std::size_t column) const;
        [[noreturn]] void fail(const std::string& column, const std::string& why) const;
    };
    // Columns by their header names, each with whether it must be there.
    using Columns = std::vector<std::pair<const char*, bool>>;
    // Calls onRow for each record of the table; throws Error at the first fault, and as soon as
    // the table passes its bound.
    void read(const std::string& table, const Columns& columns, const std::function<void(const Row&)>& onRow);

private:
    std::string path_;
    Limits limits_;
    zip_t* zip_ = nullptr;
    std::function<bool(std::uint64_t)> progress_;
    std::uint64_t done_ = 0;
};

} // namespace opendata
