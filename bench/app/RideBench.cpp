// An overnight ride at a short interval: the sample route 12 with its broadcast table, walked by
// the ride for 5,000 steps at 10 ms with the program's own sound channels and, where it can be
// made, its voice. Prints resident memory and processor time at the start and at the end, which
// should stay flat.
#include "RealProgram.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

namespace {

double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

} // namespace

int main(int argc, char** argv) {
    quietDesktop();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    RealProgram program(dir.filePath(QStringLiteral("ferio.in4")));
    Ferio& ferio = *program.ferio;
    OptionInfo o = ferio.dialog().GetOptionInfo();
    o.FareDataDir = o.TapeDataDir = FERIO_SAMPLES_DIR;
    ferio.dialog().SetOptionInfo(o);

    constexpr int Steps = 5000;
    constexpr auto Interval = std::chrono::milliseconds(10);
    SourceTimer timer;
    Ride ride(ferio, timer, QStringLiteral("12"),
              std::chrono::hours(24)); // its timer never fires: the steps are taken below
    ride.start();
    QApplication::processEvents();
    const double startMB = residentMB(), startCpu = processorSeconds();
    const auto started = std::chrono::steady_clock::now();
    int resets = 0;
    std::string byStep;
    for (int step = 0; step < Steps; ++step) {
        if (step % 1000 == 0) {
            char mark[48];
            std::snprintf(mark, sizeof mark, " %d: %.1f MB,", step, residentMB());
            byStep += mark;
        }
        const int before = ferio.engine().routesLoaded();
        if (!ride.step()) {
            std::fprintf(stderr, "the ride stopped at step %d\n", step);
            return 1;
        }
        resets += ferio.engine().routesLoaded() > before;
        QApplication::processEvents();
        std::this_thread::sleep_for(Interval);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("ride of route 12 (%s): %d steps at %lld ms, %d resets, %.1f s\n",
                program.voice ? "with the voice" : "without a voice: data steps", Steps,
                static_cast<long long>(Interval.count()), resets, seconds);
    std::printf("resident memory: %.1f MB at the start, %.1f MB at the end (by step:%s)\n", startMB, residentMB(),
                byStep.c_str());
    std::printf("processor time: %.2f s over the ride (%.2f ms a step)\n", processorSeconds() - startCpu,
                1000.0 * (processorSeconds() - startCpu) / Steps);
    return 0;
}
