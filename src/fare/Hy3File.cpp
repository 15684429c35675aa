#include "fare/Hy3File.h"

#include "reslib/Cp932.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fare::hy3 {
namespace {

int16_t readI16(std::string_view b, size_t at) {
    return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}

void putI16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

} // namespace

std::optional<Header> readHeader(std::string_view bytes, std::string* error) {
    if (bytes.size() < 2) {
        fail(error, "運賃データファイルが壊れています（先頭のレコード数が途中で切れています）。");
        return std::nullopt;
    }
    Header h{readI16(bytes, 0)};
    if (h.count < 0) {
        fail(error, "運賃データファイルのレコード数 " + std::to_string(h.count) + " は不正です。");
        return std::nullopt;
    }
    if (h.count > TableRows) {
        fail(error, "運賃データファイルのレコード数 " + std::to_string(h.count) + " は上限の " +
                        std::to_string(TableRows) + " を超えています。");
        return std::nullopt;
    }
    return h;
}

namespace {

// Walks the records after the header, checking that each lies whole in the file, and hands each
// to visit(record, name bytes, the record's bytes after the name).
template <class Visit>
bool walk(std::string_view bytes, int count, std::string* error, Visit visit) {
    size_t at = 2;
    for (int r = 1; r <= count; ++r) {
        auto truncated = [&] {
            return fail(error, "運賃データファイルが壊れています（レコード " + std::to_string(r) +
                                   " の途中でファイルが終わっています）。");
        };
        if (bytes.size() - at < 2) return truncated();
        const size_t len = static_cast<uint16_t>(readI16(bytes, at));
        at += 2;
        if (bytes.size() - at < len + FixedRecordBytes - 2) return truncated();
        visit(r, bytes.substr(at, len), bytes.substr(at + len, FixedRecordBytes - 2));
        at += len + FixedRecordBytes - 2;
    }
    return true;
}

} // namespace

std::optional<Header> check(std::string_view bytes, std::string* error) {
    auto header = readHeader(bytes, error);
    if (!header || !walk(bytes, header->count, error, [](int, std::string_view, std::string_view) {}))
        return std::nullopt;
    return header;
}

std::optional<std::vector<FareRecord>> read(std::string_view bytes, std::string* error) {
    auto header = readHeader(bytes, error);
    if (!header) return std::nullopt;
    std::vector<FareRecord> records(static_cast<size_t>(header->count));
    const bool whole = walk(bytes, header->count, error, [&](int r, std::string_view name, std::string_view rest) {
        FareRecord& rec = records[static_cast<size_t>(r - 1)];
        rec.StopName = cp932::toUtf8(name);
        rec.TicketNumber = readI16(rest, 0);
        for (size_t c = 0; c < rec.Data.size(); ++c) rec.Data[c] = readI16(rest, 2 + 2 * c);
    });
    if (!whole) return std::nullopt;
    return records;
}

std::optional<std::string> write(const std::vector<FareRecord>& records, std::string* error) {
    if (records.size() > static_cast<size_t>(TableRows)) {
        fail(error, "レコードが " + std::to_string(records.size()) + " 件あります（上限は " +
                        std::to_string(TableRows) + " 件）。");
        return std::nullopt;
    }
    std::string out;
    putI16(out, static_cast<int>(records.size()));
    for (size_t i = 0; i < records.size(); ++i) {
        auto name = cp932::fromUtf8(records[i].StopName);
        if (!name || name->size() > 0xFFFF) {
            fail(error, "レコード " + std::to_string(i + 1) + " の停留所名 \"" + records[i].StopName +
                            (name ? "\" が長すぎます。" : "\" には CP932 で表せない文字があります。"));
            return std::nullopt;
        }
        putI16(out, static_cast<int>(name->size()));
        out += *name;
        putI16(out, records[i].TicketNumber);
        for (int16_t v : records[i].Data) putI16(out, v);
    }
    return out;
}

std::optional<std::string> loadBytes(const std::string& path, ErrorCode* error) {
    auto failed = [error](ErrorCode code) {
        if (error) *error = code;
        return std::nullopt;
    };
    std::ifstream in(path, std::ios::binary);
    if (!in) return failed(ErrorCode::FileAccess);
    // Read straight into a string of the file's size: grown piece by piece, the largest file
    // took 50 MB on its way to 20.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::string bytes(ec ? 0 : std::min<uintmax_t>(size, MaxFileBytes), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    // A file of no known size, or one that has grown since, is read on to the most the reader takes.
    char buf[65536];
    while (bytes.size() < MaxFileBytes && in) {
        in.read(buf, static_cast<std::streamsize>(std::min(sizeof buf, MaxFileBytes - bytes.size())));
        bytes.append(buf, static_cast<size_t>(in.gcount()));
    }
    // A read that failed is no end of the file: the file is not taken as shorter than it is.
    if (in.bad()) return failed(ErrorCode::DeviceIo);
    return bytes;
}

} // namespace fare::hy3
