#pragma once
// The resource library's text helpers. Texts are CP932 byte strings, as the callers pass them.
#include <string>
#include <string_view>

// Length of a CP932 text in bytes.
int LenB_ASCII(std::string_view text);

// At most `length` bytes from the 1-based byte position `start`; empty when start lies past the
// end (or length is not positive). A start below 1 counts from the first byte.
std::string MidB_ASCII(std::string_view text, int start, int length);

// Name of the running operating system, as the kernel reports it (e.g. "Linux 6.1.0").
std::string GetOsInfo();
