#include "fare/StopTimes.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace fare::stoptimes {
namespace {

// A whole number of at most `digits` digits that fills `text`.
std::optional<std::int32_t> number(std::string_view text, std::size_t digits) {
    std::int32_t value = 0;
    if (text.empty() || text.size() > digits) return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

} // namespace

std::optional<std::int32_t> parseClock(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.size() - colon != 6 || text[colon + 3] != ':') return std::nullopt;
    const auto hours = number(text.substr(0, colon), 3);
    const auto minutes = number(text.substr(colon + 1, 2), 2);
    const auto seconds = number(text.substr(colon + 4), 2);
    if (!hours || !minutes || !seconds || *minutes > 59 || *seconds > 59) return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::string write(const std::vector<StopTime>& times) {
    std::string out;
    for (const StopTime& t : times) out += std::to_string(t.arrival) + "," + std::to_string(t.departure) + "\n";
    return out;
}

std::optional<std::vector<StopTime>> read(std::string_view bytes, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<std::vector<StopTime>> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (bytes.size() > MaxFileBytes)
        return fail("larger than " + std::to_string(MaxFileBytes) + " bytes, more than a route's stops");
    std::vector<StopTime> times;
    for (int line = 1; !bytes.empty(); ++line) {
        std::string_view text = bytes.substr(0, bytes.find('\n'));
        bytes.remove_prefix(std::min(bytes.size(), text.size() + 1));
        if (text.ends_with('\r')) text.remove_suffix(1);
        const std::size_t comma = text.find(',');
        const auto arrival = number(text.substr(0, comma), 7);
        const auto departure = number(comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1), 7);
        const std::string at = "line " + std::to_string(line) + ": ";
        if (!arrival || !departure || *departure > MaxSeconds)
            return fail(at + "\"" + std::string(text) + "\" is not two times in seconds from 0 to " +
                        std::to_string(MaxSeconds));
        if (*arrival > *departure) return fail(at + "the arrival is after the departure");
        if (!times.empty() && *arrival < times.back().departure)
            return fail(at + "the arrival is before the departure from the stop before");
        times.push_back({*arrival, *departure});
    }
    if (times.size() < 2) return fail("fewer than two stops");
    return times;
}

std::optional<std::vector<StopTime>> load(const std::string& path, std::string* error) {
    if (error) error->clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(MaxFileBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        if (error) *error = "cannot be read";
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return read(bytes, error);
}

} // namespace fare::stoptimes
