#pragma once
// Inputs at each reader's size limit, made with our own writers: the fuzzers' seeds grow that far
// and the damaged-input test feeds them to the program with one byte more. Plain C++; each throws
// std::runtime_error when our writers can no longer make the limit exactly.
#include <string>

namespace largest {

// The most bytes one CP932 text can hold (65,535), mostly double-byte, so UTF-8 is longer still.
std::string longestName();

// 301 records, each named with the longest name, every number -32768: fare::hy3::MaxFileBytes.
std::string route();

// Every text of the settings the longest name: settings::maxFileBytes().
std::string settingsFile();

// A broadcast table of MaxTapeFileBytes: whole entries, then blanks to fill up.
std::string tapeTable();

// `plugin` (a valid plugin's text) padded with line ends to ticketplugin::kMaxFileSize.
std::string plugin(const std::string& text);

} // namespace largest
