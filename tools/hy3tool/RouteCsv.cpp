#include "hy3tool/RouteCsv.h"

#include "reslib/Cp932.h"
#include "reslib/Csv.h"

#include <charconv>
#include <istream>
#include <map>
#include <sstream>

namespace routecsv {
namespace {

std::string quoted(const std::string& s) {
    const bool needs =
        s.find_first_of(",\"\r\n") != std::string::npos || (!s.empty() && (s.front() == ' ' || s.back() == ' '));
    return needs ? csv::quote(s) : s;
}

std::optional<int> parseInt(const std::string& s) {
    std::string_view v = s;
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    long long n = 0;
    auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || ec != std::errc() || p != v.data() + v.size()) return std::nullopt;
    if (n < -32768 || n > 32767) return std::nullopt;
    return static_cast<int>(n);
}

} // namespace

std::string toCsv(const std::vector<fare::FareRecord>& records) {
    std::string out = "record,name,ticket";
    for (int c = 1; c <= fare::DataColumns; ++c) out += ",c" + std::to_string(c);
    out += '\n';
    for (size_t r = 0; r < records.size(); ++r) {
        out +=
            std::to_string(r + 1) + ',' + quoted(records[r].StopName) + ',' + std::to_string(records[r].TicketNumber);
        for (int16_t v : records[r].Data) out += ',' + std::to_string(v);
        out += '\n';
    }
    return out;
}

std::optional<std::vector<fare::FareRecord>> fromCsv(std::istream& in, std::string* error) {
    auto fail = [&](int line, const std::string& why) {
        if (error) *error = "line " + std::to_string(line) + ": " + why;
        return std::nullopt;
    };
    auto failed = [&](const csv::Reader& reader) {
        if (error) *error = reader.error();
        return std::nullopt;
    };
    const std::string headerMissing = "the header must start with record,name,ticket";
    csv::Reader reader(in);
    std::vector<std::string> head;
    switch (reader.next(head)) {
    case csv::Reader::Next::Error: return failed(reader);
    case csv::Reader::Next::End: return fail(1, "the header record,name,ticket is missing");
    case csv::Reader::Next::Row: break;
    }
    if (head.size() < 3 || head[0] != "record" || head[1] != "name" || head[2] != "ticket")
        return fail(reader.line(), headerMissing);
    std::vector<int> columnOf; // data column (1-based) of each field after the third
    std::map<int, bool> seen;
    for (size_t f = 3; f < head.size(); ++f) {
        const std::string& h = head[f];
        auto n = h.size() > 1 && h[0] == 'c' && h[1] != '+' && h[1] != '-' ? parseInt(h.substr(1)) : std::nullopt;
        if (!n || *n < 1 || *n > fare::DataColumns)
            return fail(reader.line(), "unknown column \"" + h + "\" (expected c1 ... c150)");
        if (seen[*n]) return fail(reader.line(), "column \"" + h + "\" is given twice");
        seen[*n] = true;
        columnOf.push_back(*n);
    }

    std::vector<fare::FareRecord> records;
    std::vector<std::string> row;
    for (size_t r = 1;; ++r) {
        const csv::Reader::Next next = reader.next(row);
        if (next == csv::Reader::Next::Error) return failed(reader);
        if (next == csv::Reader::Next::End) break;
        if (records.size() == static_cast<size_t>(fare::TableRows))
            return fail(reader.line(), "more than " + std::to_string(fare::TableRows) + " records");
        if (row.size() != head.size())
            return fail(reader.line(),
                        std::to_string(row.size()) + " fields where the header has " + std::to_string(head.size()));
        auto number = parseInt(row[0]);
        if (!number || *number != static_cast<int>(r))
            return fail(reader.line(), "record number \"" + row[0] + "\" where " + std::to_string(r) +
                                           " was expected (records must run 1, 2, 3 ... in order)");
        fare::FareRecord rec;
        rec.StopName = row[1];
        auto encoded = cp932::fromUtf8(rec.StopName);
        if (!encoded)
            return fail(reader.line(), "the name \"" + rec.StopName + "\" has a character CP932 cannot encode");
        if (encoded->size() > 0xFFFF) return fail(reader.line(), "the name is longer than 65535 bytes");
        auto ticket = parseInt(row[2]);
        if (!ticket) return fail(reader.line(), "ticket \"" + row[2] + "\" is not a number from -32768 to 32767");
        rec.TicketNumber = static_cast<int16_t>(*ticket);
        for (size_t f = 3; f < row.size(); ++f) {
            auto v = parseInt(row[f]);
            if (!v) return fail(reader.line(), head[f] + " \"" + row[f] + "\" is not a number from -32768 to 32767");
            rec.column(columnOf[f - 3]) = static_cast<int16_t>(*v);
        }
        records.push_back(std::move(rec));
    }
    return records;
}

std::optional<std::vector<fare::FareRecord>> fromCsv(std::string_view text, std::string* error) {
    std::istringstream in{std::string(text)};
    return fromCsv(in, error);
}

std::vector<std::string> undecodableNameWarnings(const std::vector<fare::FareRecord>& records) {
    // CP932 has no code for U+FFFD, so in a decoded name it can only stand for bytes that failed.
    static const std::string replacement = "\xEF\xBF\xBD";
    std::vector<std::string> warnings;
    for (size_t k = 0; k < records.size(); ++k)
        if (records[k].StopName.find(replacement) != std::string::npos)
            warnings.push_back("record " + std::to_string(k + 1) + " (" + records[k].StopName +
                               "): the stop name holds bytes CP932 cannot decode; each reads as " + replacement +
                               ", which build cannot write back");
    return warnings;
}

} // namespace routecsv
