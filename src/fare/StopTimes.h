#pragma once
// The times of a route's stops, <route>times.csv beside its .hy3: one line a stop, in the route's
// order, "arrival,departure" as whole seconds since the service day's midnight. A service day's
// late trips run past 24:00 (25:10:00 is 90600), so the values go on past 86400.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fare {

struct StopTime {
    std::int32_t arrival = 0, departure = 0;
    bool operator==(const StopTime&) const = default;
};

namespace stoptimes {

// A route has at most 301 stops, each line a few bytes: anything larger is not a times file.
constexpr std::size_t MaxFileBytes = 16 * 1024;
// A week of service; a time past it is a damaged file, not a timetable.
constexpr std::int32_t MaxSeconds = 7 * 86400;

// Seconds since midnight of a GTFS time, "H:MM:SS" with any number of hours ("25:10:00").
std::optional<std::int32_t> parseClock(std::string_view text);

// The file for these times.
std::string write(const std::vector<StopTime>& times);

// The times of a file, each line checked: two whole numbers up to MaxSeconds, the arrival not
// after the departure, no stop before the one ahead of it; a CR before a line's end is allowed.
// Fails, with the line and what is wrong in `error`, on the first bad line or a file of fewer
// than two stops or more than MaxFileBytes.
std::optional<std::vector<StopTime>> read(std::string_view bytes, std::string* error);

// The file at `path`: nullopt with `error` empty when there is none, with why when it is damaged.
std::optional<std::vector<StopTime>> load(const std::string& path, std::string* error);

} // namespace stoptimes
} // namespace fare
