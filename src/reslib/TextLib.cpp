#include "reslib/TextLib.h"

#include <sys/utsname.h>

int LenB_ASCII(std::string_view text) { return static_cast<int>(text.size()); }

std::string MidB_ASCII(std::string_view text, int start, int length) {
    if (start < 1) start = 1;
    if (length <= 0 || static_cast<size_t>(start) > text.size()) return {};
    return std::string(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(length)));
}

std::string GetOsInfo() {
    utsname u{};
    if (uname(&u) != 0) return "Linux";
    return std::string(u.sysname) + " " + u.release;
}
