#include "reslib/Csv.h"

#include <istream>

namespace csv {
namespace {
constexpr int End = std::char_traits<char>::eof();
bool blank(int c) { return c == ' ' || c == '\t'; }
} // namespace

Reader::Reader(std::istream& in, Limits limits) : in_(in.rdbuf()), limits_(limits) {
    // Only a whole mark is skipped; anything else starting with its first byte is data.
    if (in_ && in_->sgetc() == 0xEF) {
        char mark[3];
        const auto got = in_->sgetn(mark, 3);
        bom_ = got == 3 && std::string_view(mark, 3) == "\xEF\xBB\xBF";
        if (!bom_)
            for (auto i = got; i > 0; --i) in_->sungetc();
    }
}

Reader::Next Reader::fail(int line, std::size_t field, const std::string& why) {
    error_ = "line " + std::to_string(line) + ": field " + std::to_string(field + 1) + " " + why;
    return Next::Error;
}

Reader::Next Reader::next(std::vector<std::string>& fields) {
    if (!in_) return Next::End;
    while (in_->sgetc() != End) {
        rowLine_ = line_;
        std::size_t n = 0, rowBytes = 0;
        quoted_.clear();
        for (;;) {
            if (n == fields.size()) fields.emplace_back();
            std::string& f = fields[n];
            f.clear();
            const int fieldLine = line_;
            auto take = [&](int c) {
                if (f.size() == limits_.fieldBytes || rowBytes == limits_.rowBytes) return false;
                f += static_cast<char>(c);
                ++rowBytes;
                return true;
            };
            const auto tooLong = [&] {
                return f.size() == limits_.fieldBytes
                           ? fail(fieldLine, n, "is longer than " + std::to_string(limits_.fieldBytes) + " bytes")
                           : fail(rowLine_, n, "ends a row longer than " + std::to_string(limits_.rowBytes) + " bytes");
            };
            int c = in_->sgetc();
            while (blank(c)) {
                if (!take(c)) return tooLong();
                c = in_->snextc();
            }
            const bool isQuoted = c == '"';
            quoted_.push_back(isQuoted);
            if (isQuoted) {
                f.clear();
                for (in_->sbumpc();;) {
                    c = in_->sbumpc();
                    if (c == End) return fail(fieldLine, n, "opens a quote that is never closed");
                    if (c == '"') {
                        if (in_->sgetc() != '"') break;
                        in_->sbumpc();
                    }
                    if (c == '\n') ++line_;
                    if (!take(c)) return tooLong();
                }
                for (c = in_->sgetc(); blank(c); c = in_->snextc()) {}
                if (c == '\r') { // a CR LF line end
                    const int after = in_->snextc();
                    c = after == '\n' || after == End ? after : '\r';
                }
                if (c != ',' && c != '\n' && c != End) return fail(line_, n, "has text after its closing quote");
            } else {
                while (c != End && c != ',' && c != '\n') {
                    // The CR of a CR LF line end is no byte of the field, nor of its limit.
                    const int after = c == '\r' ? in_->snextc() : 0;
                    if (c == '\r' && (after == '\n' || after == End)) {
                        c = after;
                        break;
                    }
                    if (!take(c)) return tooLong();
                    c = c == '\r' ? after : in_->snextc();
                }
            }
            ++n;
            c = in_->sbumpc();
            if (c == '\n') ++line_;
            if (c != ',') break;
        }
        fields.resize(n);
        const bool blankRow = n == 1 && !quoted_[0] && fields[0].find_first_not_of(" \t") == std::string::npos;
        if (!blankRow) return Next::Row;
    }
    return Next::End;
}

std::string quote(std::string_view field) {
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

} // namespace csv
