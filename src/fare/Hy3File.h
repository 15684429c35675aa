#pragma once
// The binary fare-data file <route>.hy3: a signed 16-bit record count, then the records, each a
// 16-bit name length, the CP932 name, a 16-bit ticket number and 150 16-bit columns. Little-endian.
#include "fare/FareTable.h"
#include "reslib/CodedError.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fare::hy3 {

constexpr size_t FixedRecordBytes = 2 + 2 + 2 * DataColumns; // 304 plus the name
// Largest file the reader ever needs to look at; bytes after the last record are ignored.
constexpr size_t MaxFileBytes = 2 + TableRows * (FixedRecordBytes + 0xFFFF);

struct Header {
    int16_t count = 0;
};

// The header alone. Fails (with a description) on a short header, a negative count or more
// records than the table holds.
std::optional<Header> readHeader(std::string_view bytes, std::string* error);

// The header, and every record checked to lie whole in the file, without reading them.
std::optional<Header> check(std::string_view bytes, std::string* error);

// The whole file, checked to its last record before anything is returned.
std::optional<std::vector<FareRecord>> read(std::string_view bytes, std::string* error);

// The file for these records; fails when there are more than 301 records or a name that CP932
// cannot hold or that is longer than 65535 bytes.
std::optional<std::string> write(const std::vector<FareRecord>& records, std::string* error);

// Reads a file from disk (at most MaxFileBytes of it); nullopt, and why in `error` when given,
// when it cannot be opened or read.
std::optional<std::string> loadBytes(const std::string& path, ErrorCode* error = nullptr);

} // namespace fare::hy3
