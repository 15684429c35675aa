#pragma once
// The one reader of comma-separated text: route CSV, broadcast tables and open-data feeds.
// RFC 4180 fields: a quoted field may hold commas, quotes ("") and line breaks; CR LF or LF line
// ends; a UTF-8 byte-order mark at the start is skipped. Bytes are passed on as they are read,
// so the caller decodes them (UTF-8 or CP932, whose trail bytes never look like , " or a line end).
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace csv {

// What one field and one row may hold at most; a longer one stops the reading with an error, so
// a damaged file never takes more memory than this.
struct Limits {
    std::size_t fieldBytes = 256 * 1024;
    std::size_t rowBytes = 1024 * 1024;
};

class Reader {
public:
    explicit Reader(std::istream& in, Limits limits = {});

    enum class Next { Row, End, Error };
    // The next row that is not blank (a row of one unquoted field of spaces and tabs). Blanks
    // before an opening quote and after a closing quote are dropped; an unquoted field is kept
    // whole. After Error, error() says why.
    Next next(std::vector<std::string>& fields);

    int line() const { return rowLine_; } // where the last row started, from 1
    bool quoted(std::size_t field) const { return field < quoted_.size() && quoted_[field]; }
    bool hadByteOrderMark() const { return bom_; }
    // "line N: field F ...": where the reading stopped and why.
    const std::string& error() const { return error_; }

private:
    Next fail(int line, std::size_t field, const std::string& why);

    std::streambuf* in_;
    Limits limits_;
    int line_ = 1;
    int rowLine_ = 0;
    bool bom_ = false;
    std::vector<bool> quoted_;
    std::string error_;
};

// The field in quotes, each quote in it doubled: what the reader gives back as it was. Works on
// CP932 as on UTF-8, whose multi-byte characters never hold a quote's byte.
std::string quote(std::string_view field);

} // namespace csv
