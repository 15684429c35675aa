#include "opendata/Feed.h"

#include "reslib/Csv.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace opendata {
namespace {

std::string bound(std::uint64_t bytes) {
    return std::to_string(bytes) + " bytes (" + std::to_string(bytes >> 20) + " MiB)";
}

// A member's name as stored, its control characters written as \xNN so a crafted name cannot
// drive the terminal that shows a message.
std::string shown(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            out += c;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        out += escaped;
    }
    return out;
}

// A table as a stream that stops at the bound of inflated bytes, whatever the archive declared;
// a damaged zip member (its CRC included) is seen at its end.
class TableStream : public std::streambuf {
public:
    // `onBlock` is told the size of each block read and returns false to stop the read.
    using OnBlock = std::function<bool(std::uint64_t)>;
    TableStream(zip_file_t* member, std::uint64_t limit, OnBlock onBlock)
        : member_(member),
          limit_(limit),
          onBlock_(std::move(onBlock)) {}
    TableStream(const fs::path& file, std::uint64_t limit, OnBlock onBlock)
        : file_(file, std::ios::binary),
          limit_(limit),
          onBlock_(std::move(onBlock)) {}
    ~TableStream() override {
        if (member_) zip_fclose(member_);
    }
    TableStream(const TableStream&) = delete;
    TableStream& operator=(const TableStream&) = delete;

    bool opened() const { return member_ || file_.is_open(); }
    bool tooLarge() const { return total_ > limit_; }
    bool stopped() const { return stopped_; }
    std::optional<std::string> damage() const {
        if (member_ && failed_) return std::string(zip_file_strerror(member_));
        if (!member_ && file_.bad()) return std::string("a read error");
        return std::nullopt;
    }

protected:
    int_type underflow() override {
        if (tooLarge() || stopped_) return traits_type::eof();
        std::int64_t n = 0;
        if (member_) {
            n = zip_fread(member_, buffer_, sizeof buffer_);
            failed_ = n < 0;
        } else {
            file_.read(buffer_, sizeof buffer_);
            n = file_.gcount();
        }
        if (n <= 0) return traits_type::eof();
        total_ += static_cast<std::uint64_t>(n);
        if (tooLarge()) return traits_type::eof();
        stopped_ = !onBlock_(static_cast<std::uint64_t>(n));
        if (stopped_) return traits_type::eof();
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    zip_file_t* member_ = nullptr;
    std::ifstream file_;
    std::uint64_t limit_;
    std::uint64_t total_ = 0;
    bool failed_ = false;
    OnBlock onBlock_;
    bool stopped_ = false;
    char buffer_[64 * 1024];
};

} // namespace

Feed::Feed(const std::string& path, Limits limits) : path_(path), limits_(limits) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return;
    int code = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!zip_) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        const std::string why = zip_error_strerror(&e);
        zip_error_fini(&e);
        throw Error("neither a folder nor a readable zip archive (" + why + ")");
    }
}

Feed::~Feed() {
    if (zip_) zip_discard(zip_);
}

bool Feed::has(const std::string& table) const {
    std::error_code ec;
    return zip_ ? zip_name_locate(zip_, table.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR) >= 0
                : fs::is_regular_file(fs::path(path_) / table, ec);
}

std::uint64_t Feed::size() const {
    std::uint64_t total = 0;
    if (zip_) {
        zip_stat_t st;
        for (zip_int64_t i = 0, n = zip_get_num_entries(zip_, 0); i < n; ++i)
            if (zip_stat_index(zip_, static_cast<zip_uint64_t>(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
                total += st.size;
        return total;
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path_, ec))
        if (entry.is_regular_file(ec)) total += entry.file_size(ec);
    return total;
}

std::string_view Feed::Row::operator[](std::size_t c) const {
    return at[c] >= 0 && static_cast<std::size_t>(at[c]) < fields.size()
               ? std::string_view(fields[static_cast<std::size_t>(at[c])])
               : std::string_view();
}

void Feed::Row::fail(const std::string& column, const std::string& why) const {
    throw Error(table + ": line " + std::to_string(line) + ": " + column + " " + why);
}

void Feed::read(const std::string& name, const Columns& columns, const std::function<void(const Row&)>& onRow) {
    auto onBlock = [this](std::uint64_t bytes) { return !progress_ || progress_(done_ += bytes); };
    std::unique_ptr<TableStream> table;
    std::uint64_t declared = 0;
    std::string stored = name; // the member's name in messages about its size
    if (zip_) {
        const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
        zip_stat_t st;
        if (index >= 0 && zip_stat_index(zip_, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW, &st) == 0) {
            if (st.valid & ZIP_STAT_SIZE) declared = st.size;
            if (st.valid & ZIP_STAT_NAME) stored = shown(st.name);
        }
        if (declared <= limits_.tableBytes) {
            zip_file_t* f = index < 0 ? nullptr : zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
            if (!f) throw Error(name + " cannot be read (" + zip_strerror(zip_) + ")");
            table = std::make_unique<TableStream>(f, limits_.tableBytes, onBlock);
        }
    } else {
        const fs::path file = fs::path(path_) / name;
        std::error_code ec;
        declared = fs::file_size(file, ec);
        if (ec) declared = 0;
        if (declared <= limits_.tableBytes) table = std::make_unique<TableStream>(file, limits_.tableBytes, onBlock);
        if (table && !table->opened()) throw Error(name + " cannot be read");
    }
    if (declared > limits_.tableBytes)
        throw Error(stored + " holds " + std::to_string(declared) + " bytes uncompressed; a table may hold at most " +
                    bound(limits_.tableBytes));
    std::istream stream(table.get());
    csv::Reader reader(stream);
    std::vector<std::string> fields;
    auto next = [&] {
        const auto n = reader.next(fields);
        if (table->stopped()) throw Cancelled();
        if (table->tooLarge())
            throw Error(stored + " inflates past " + bound(limits_.tableBytes) + ", the most a table may hold");
        if (const auto damage = table->damage()) throw Error(name + " is damaged (" + *damage + ")");
        if (n == csv::Reader::Next::Error) throw Error(name + ": " + reader.error());
        return n == csv::Reader::Next::Row;
    };
    if (!next()) throw Error(name + ": line 1: the header is missing");
    for (std::string& h : fields) { // some feeds put a space after each comma of the header
        h.erase(0, h.find_first_not_of(' '));
        h.erase(h.find_last_not_of(' ') + 1);
    }
    std::vector<int> at;
    for (const auto& [column, required] : columns) {
        const auto found = std::find(fields.begin(), fields.end(), column);
        if (found == fields.end() && required)
            throw Error(name + ": line " + std::to_string(reader.line()) + ": no column " + column);
        at.push_back(found == fields.end() ? -1 : static_cast<int>(found - fields.begin()));
    }
    while (next()) onRow(Row{name, fields, at, reader.line()});
}

} // namespace opendata
