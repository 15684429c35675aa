#include "RouteCsv.h"

#include "Cp932.h"

#include <charconv>
#include <map>

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

// RFC 4180 fields; a quoted field may hold commas, quotes ("") and line breaks. CRLF is accepted.
bool splitRows(std::string_view text, std::vector<Row>& rows, std::string* error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int line = 1;
    size_t i = 0;
    while (i < text.size()) {
        Row row{line, {}};
        std::string field;
        bool endOfRow = false;
        while (!endOfRow) {
            if (i < text.size() && text[i] == '"') {
                const int startLine = line;
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        if (error) *error = "line " + std::to_string(startLine) + ": unterminated quoted field";
                        return false;
                    }
                    char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    field += c;
                }
            }
            const size_t tailStart = field.size(); // a CR of a CRLF line end is never quoted
            while (i < text.size() && text[i] != ',' && text[i] != '\n') field += text[i++];
            if (field.size() > tailStart && field.back() == '\r' && (i >= text.size() || text[i] == '\n'))
                field.pop_back();
            row.fields.push_back(std::move(field));
            field.clear();
            if (i >= text.size()) {
                endOfRow = true;
            } else if (text[i++] == '\n') {
                ++line;
                endOfRow = true;
            }
        }
        if (!(row.fields.size() == 1 && row.fields[0].empty())) rows.push_back(std::move(row));
    }
    return true;
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

std::optional<std::vector<fare::FareRecord>> fromCsv(std::string_view text, std::string* error) {
    auto fail = [&](int line, const std::string& why) {
        if (error) *error = "line " + std::to_string(line) + ": " + why;
        return std::nullopt;
    };
    std::vector<Row> rows;
    if (!splitRows(text, rows, error)) return std::nullopt;
    if (rows.empty()) return fail(1, "the header record,name,ticket is missing");

    const Row& head = rows.front();
    if (head.fields.size() < 3 || head.fields[0] != "record" || head.fields[1] != "name" ||
        head.fields[2] != "ticket")
        return fail(head.line, "the header must start with record,name,ticket");
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
    for (size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
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

} // namespace routecsv
