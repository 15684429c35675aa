// Recording route 12 of the samples with its broadcast table through the real `ferio --record`:
// for each scale and frame rate, the seconds of video made per second of wall time, the file's
// size per minute of video and the peak resident memory. Targets: 1x 30 fps at least 10, 3x 30 fps
// at least 2, 4x 60 fps at least 1 times real time; under 300 MB.
#include "settings/DemoSettings.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60; // of video, each run
    const fs::path dir = fs::temp_directory_path() / ("ferio-record-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string settings = (dir / "ferio.in4").string();
    if (settings::writeDemoSettings(QString::fromStdString(settings), QStringLiteral(FERIO_SAMPLES_DIR))) return 1;
    std::printf("%.0f s of route 12 with its broadcast table, ridden every 4 s, per run\n", seconds);
    std::printf("%-12s %10s %12s %14s %12s\n", "scale, fps", "wall (s)", "x real time", "MB per minute", "peak RSS MB");
    const struct {
        int scale, fps;
        double target;
    } runs[] = {{1, 30, 10}, {3, 30, 2}, {4, 60, 1}};
    for (const auto& r : runs) {
        const std::string file = (dir / ("ride" + std::to_string(r.scale) + ".mp4")).string();
        std::vector<std::string> args = {FERIO_BIN_DIR "/ferio",
                                         "--settings",
                                         settings,
                                         "--record",
                                         file,
                                         "--ride",
                                         "12",
                                         "--interval",
                                         "4",
                                         "--duration",
                                         std::to_string(seconds),
                                         "--scale",
                                         std::to_string(r.scale),
                                         "--fps",
                                         std::to_string(r.fps)};
        std::vector<char*> argvOf;
        for (std::string& a : args) argvOf.push_back(a.data());
        argvOf.push_back(nullptr);
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stderr); // its progress line would break the table
            execv(argvOf[0], argvOf.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("%dx %d fps: the recording failed\n", r.scale, r.fps);
            return 1;
        }
        const double mb = double(fs::file_size(file)) / 1e6;
        std::printf("%dx, %d fps %10.1f %12.1f %14.1f %12.0f   (target: at least %.0f)\n", r.scale, r.fps, wall,
                    seconds / wall, mb / (seconds / 60), double(usage.ru_maxrss) / 1024, r.target);
    }
    fs::remove_all(dir);
    return 0;
}
