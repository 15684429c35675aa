#pragma once
// Text in files and in the resource library's calls is code page 932 (Windows-31J), not plain
// Shift_JIS: the wave dash, NEC row 13 and the IBM extensions only round-trip in CP932.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cp932 {

// CP932 bytes to UTF-8. Bytes that are no CP932 character become U+FFFD.
std::string toUtf8(std::string_view bytes);

// CP932 bytes to UTF-8; std::nullopt when any byte sequence is no CP932 character.
std::optional<std::string> toUtf8Strict(std::string_view bytes);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

// UTF-8 to CP932 bytes; std::nullopt when a character has no CP932 code.
std::optional<std::string> fromUtf8(std::string_view utf8);

// As fromUtf8, with '?' for each character CP932 cannot hold (what a Windows ANSI call receives).
std::string fromUtf8Lossy(std::string_view utf8);

// The Unicode compatibility form (NFKC) of UTF-8 text: "⑴" is "(1)", "ｶﾞ" is "ガ".
std::string compatible(std::string_view utf8);

// The name as CP932 can hold it: each character it has no code for becomes its substitute
// (a table of look-alikes, then the compatibility form, else 〓), each said in `changes`.
std::string substitute(std::string_view utf8, std::vector<std::string>* changes);

} // namespace cp932
