// Importing one route from a large feed: a generated zip with a million stop_times.txt rows
// (20 routes of 1,000 trips over 50 stops each), listed and imported by the real hy3tool. Prints
// the time and the peak resident memory of each; targets: under 3 s and under 200 MB.
#include <zip.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int Routes = 20, TripsPerRoute = 1000, StopsPerRoute = 50, Zones = 10;

// prefix, a, and when b is given "_" b: the ids of the feed.
std::string id(const char* prefix, int a, int b = -1) {
    std::string s = prefix;
    s += std::to_string(a);
    if (b >= 0) {
        s += '_';
        s += std::to_string(b);
    }
    return s;
}

std::vector<std::pair<std::string, std::string>> feed() {
    std::string routes = "route_id,route_short_name,route_long_name,route_type\n";
    std::string stops = "stop_id,stop_name,zone_id\n";
    std::string trips = "route_id,service_id,trip_id,trip_headsign,direction_id\n";
    std::string times = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n";
    for (int r = 0; r < Routes; ++r) {
        routes += id("R", r) + "," + std::to_string(r + 1) + "," + id("線", r) + ",3\n";
        for (int s = 0; s < StopsPerRoute; ++s)
            stops += id("S", r, s) + "," + id("停留所", r, s) + "," + id("Z", s * Zones / StopsPerRoute) + "\n";
        for (int t = 0; t < TripsPerRoute; ++t) {
            const std::string trip = id("T", r, t);
            trips += id("R", r) + ",weekday," + trip + ",終点," + std::to_string(t % 2) + "\n";
            for (int s = 0; s < StopsPerRoute; ++s) {
                char clock[32];
                std::snprintf(clock, sizeof clock, "%02d:%02d:00", 5 + (t / 60) % 19, (t + s) % 60);
                const int stop = t % 2 ? StopsPerRoute - 1 - s : s;
                times += trip + "," + clock + "," + clock + "," + id("S", r, stop) + "," + std::to_string(s + 1) + "\n";
            }
        }
    }
    std::string attributes = "fare_id,price,currency_type,payment_method,transfers\n";
    std::string rules = "fare_id,route_id,origin_id,destination_id,contains_id\n";
    for (int a = 0; a < Zones; ++a)
        for (int b = 0; b < Zones; ++b) {
            const std::string fare = id("F", a, b);
            attributes += fare + "," + std::to_string(180 + 20 * std::abs(a - b)) + ",JPY,0,0\n";
            rules += fare + ",," + id("Z", a) + "," + id("Z", b) + ",\n";
        }
    return {{"routes.txt", routes},
            {"stops.txt", stops},
            {"trips.txt", trips},
            {"stop_times.txt", times},
            {"fare_attributes.txt", attributes},
            {"fare_rules.txt", rules}};
}

// Runs the tool with `args` (its output to /dev/null) and prints its time and peak memory.
bool run(const std::string& tool, const std::vector<std::string>& args, const char* what) {
    std::fflush(stdout); // else the child writes what is buffered once more
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>("hy3tool")};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!freopen("/dev/null", "w", stdout)) _exit(127);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("%s: %.2f s (target under 3 s), peak resident memory %.1f MB (target under 200 MB)%s\n", what, seconds,
                static_cast<double>(usage.ru_maxrss) / 1024.0, ok ? "" : ", FAILED");
    return ok;
}

} // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("ferio-gtfs-bench-" + std::to_string(getpid()));
    fs::create_directories(dir / "out");
    const fs::path zipPath = dir / "feed.zip";
    {
        const auto files = feed();
        int code = 0;
        zip_t* z = zip_open(zipPath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        for (const auto& [name, text] : files)
            zip_file_add(z, name.c_str(), zip_source_buffer(z, text.data(), text.size(), 0), 0);
        if (!z || zip_close(z) != 0) {
            std::fprintf(stderr, "the feed could not be written\n");
            return 1;
        }
    }
    std::printf("feed: %d stop_times.txt rows, %.1f MB zipped\n", Routes * TripsPerRoute * StopsPerRoute,
                static_cast<double>(fs::file_size(zipPath)) / 1e6);

    const std::string tool = std::string(FERIO_BIN_DIR) + "/hy3tool";
    const std::string out = (dir / "out").string();
    const bool listed = run(tool, {"gtfs", zipPath.string(), "list"}, "list of the routes");
    const bool imported =
        run(tool, {"gtfs", zipPath.string(), "--route", "R7", "--direction", "0", "--number", "7", "--out", out},
            "import of one route") &&
        fs::exists(dir / "out" / "7.hy3");
    const bool ok = listed && imported;
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
