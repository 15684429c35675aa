#include "hy3tool/RouteCsv.h"

#include "reslib/Cp932.h"

#include <charconv>
#include <istream>
#include <map>
#include <sstream>

namespace routecsv {
namespace {

std::string quoted(const std::string& s) {
    bool needs = s.find_first_of(",\"\r\n") != std::string::npos ||
                 (!s.empty() && (s.front() == ' ' || s.back() == ' '));
    if (!needs) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

struct Row {
    int line = 0; // where the row starts
    std::vector<std::string> fields;
};

enum class Next { Row, End, Error };

// The next non-blank row of RFC 4180 fields; a quoted field may hold commas, quotes ("") and line
// breaks. CRLF is accepted. Rows are read one at a time, so a caller can stop at any row.
Next nextRow(std::istream& in, int& line, Row& row, std::string* error) {
    constexpr int End = std::char_traits<char>::eof();
    while (in.peek() != End) {
        row = Row{line, {}};
        std::string field;
        bool endOfRow = false;
        while (!endOfRow) {
            if (in.peek() == '"') {
                const int startLine = line;
                in.get();
                for (;;) {
                    const int c = in.get();
                    if (c == End) {
                        if (error) *error = "line " + std::to_string(startLine) + ": unterminated quoted field";
                        return Next::Error;
                    }
                    if (c == '"') {
                        if (in.peek() == '"') {
                            field += '"';
                            in.get();
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    field += static_cast<char>(c);
                }
            }
            const size_t tailStart = field.size(); // a CR of a CRLF line end is never quoted
            for (int c = in.peek(); c != End && c != ',' && c != '\n'; c = in.peek())
                field += static_cast<char>(in.get());
            if (field.size() > tailStart && field.back() == '\r' && in.peek() != ',') field.pop_back();
            row.fields.push_back(std::move(field));
            field.clear();
            const int c = in.get();
            if (c == End) {
                endOfRow = true;
            } else if (c == '\n') {
                ++line;
                endOfRow = true;
            }
        }
        if (!(row.fields.size() == 1 && row.fields[0].empty())) return Next::Row;
    }
    return Next::End;
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
        out += std::to_string(r + 1) + ',' + quoted(records[r].StopName) + ',' +
               std::to_string(records[r].TicketNumber);
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
    const std::string headerMissing = "the header must start with record,name,ticket";
    if (in.peek() == 0xEF) { // a UTF-8 byte-order mark; nothing else can start the header
        char bom[3];
        if (!in.read(bom, 3) || std::string_view(bom, 3) != "\xEF\xBB\xBF") return fail(1, headerMissing);
    }
    int line = 1;
    Row head;
    switch (nextRow(in, line, head, error)) {
    case Next::Error: return std::nullopt;
    case Next::End: return fail(1, "the header record,name,ticket is missing");
    case Next::Row: break;
    }
    if (head.fields.size() < 3 || head.fields[0] != "record" || head.fields[1] != "name" ||
        head.fields[2] != "ticket")
        return fail(head.line, headerMissing);
    std::vector<int> columnOf; // data column (1-based) of each field after the third
    std::map<int, bool> seen;
    for (size_t f = 3; f < head.fields.size(); ++f) {
        const std::string& h = head.fields[f];
        auto n = h.size() > 1 && h[0] == 'c' && h[1] != '+' && h[1] != '-' ? parseInt(h.substr(1)) : std::nullopt;
        if (!n || *n < 1 || *n > fare::DataColumns)
            return fail(head.line, "unknown column \"" + h + "\" (expected c1 ... c150)");
        if (seen[*n]) return fail(head.line, "column \"" + h + "\" is given twice");
        seen[*n] = true;
        columnOf.push_back(*n);
    }

    std::vector<fare::FareRecord> records;
    Row row;
    for (size_t r = 1;; ++r) {
        const Next next = nextRow(in, line, row, error);
        if (next == Next::Error) return std::nullopt;
        if (next == Next::End) break;
        if (records.size() == static_cast<size_t>(fare::TableRows))
            return fail(row.line, "more than " + std::to_string(fare::TableRows) + " records");
        if (row.fields.size() != head.fields.size())
            return fail(row.line, std::to_string(row.fields.size()) + " fields where the header has " +
                                      std::to_string(head.fields.size()));
        auto number = parseInt(row.fields[0]);
        if (!number || *number != static_cast<int>(r))
            return fail(row.line, "record number \"" + row.fields[0] + "\" where " + std::to_string(r) +
                                      " was expected (records must run 1, 2, 3 ... in order)");
        fare::FareRecord rec;
        rec.StopName = row.fields[1];
        auto encoded = cp932::fromUtf8(rec.StopName);
        if (!encoded) return fail(row.line, "the name \"" + rec.StopName + "\" has a character CP932 cannot encode");
        if (encoded->size() > 0xFFFF) return fail(row.line, "the name is longer than 65535 bytes");
        auto ticket = parseInt(row.fields[2]);
        if (!ticket) return fail(row.line, "ticket \"" + row.fields[2] + "\" is not a number from -32768 to 32767");
        rec.TicketNumber = static_cast<int16_t>(*ticket);
        for (size_t f = 3; f < row.fields.size(); ++f) {
            auto v = parseInt(row.fields[f]);
            if (!v)
                return fail(row.line, head.fields[f] + " \"" + row.fields[f] +
                                          "\" is not a number from -32768 to 32767");
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

std::vector<std::string> fareDigitWarnings(const std::vector<fare::FareRecord>& records) {
    std::vector<std::string> warnings;
    for (size_t k = 0; k < records.size(); ++k) {
        const fare::FareRecord& r = records[k];
        for (int cell = 1; cell <= fare::Cells; ++cell) {
            const int fare = r.column(cell);
            if (fare == -1) continue; // a blank cell
            for (const auto& [when, shown] : {std::pair{"", fare}, std::pair{" at night", 2 * fare}}) {
                const std::string text = std::to_string(shown);
                if (text.size() <= static_cast<size_t>(fare::FareCellDigits)) continue;
                warnings.push_back("record " + std::to_string(k + 1) + " (" + r.StopName + "), cell " +
                                   std::to_string(cell) + ": the fare " + text + when + " has " +
                                   std::to_string(text.size()) + " digits; the cell shows " +
                                   text.substr(text.size() - fare::FareCellDigits));
                break; // the night's fare is longer still
            }
        }
    }
    return warnings;
}

} // namespace routecsv
