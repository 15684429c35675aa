#pragma once
// The settings file <program>.in4: eleven blocks without headers or padding, little-endian
// integers, texts as an unsigned 16-bit byte count and CP932 bytes. Plain C++, no Qt.
#include "settings/SettingsRecords.h"

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// The file for this record; fails (with a description naming the field) when a text cannot be
// held in CP932 or is longer than 65535 bytes, since its count would then be wrong.
std::optional<std::string> encode(const SettingsRecord& record, std::string* error);

// The record from a file, checked to its last field before anything is returned; fails on a
// file that ends early. The stored cell count is ignored and bytes after the last block too.
std::optional<SettingsRecord> decode(std::string_view bytes, std::string* error);

// The largest file decode can use: every text at 65535 bytes. Readers need read no further.
size_t maxFileBytes();

} // namespace settings
