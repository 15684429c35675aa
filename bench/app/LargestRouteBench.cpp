// The largest route the program takes (301 stops, each name 65,535 bytes of CP932) with a
// broadcast table of one long announcement per stop, loaded into the real program and stepped
// through every stop as the ride steps it; then the sample route 12 the same way. Prints resident
// memory after the route set, the peak over the steps, and the slowest and the mean answer of a
// step (the press until the board is painted). The largest route is ridden once more with the
// ticket preview on, each step drawing the long name into a ticket. Then the voice is given one
// whole long name.
#include "RealProgram.h"
#include "fare/Hy3File.h"
#include "reslib/Cp932.h"
#include "sound/mdlM_Tape.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A name of `bytes` CP932 bytes, double-byte but for an odd last one, as UTF-8.
std::string nameOf(size_t bytes) {
    std::string name;
    for (size_t i = 0; i + 1 < bytes; i += 2) name += "駅";
    return bytes % 2 ? name + "1" : name;
}

// 301 stops of the longest name, and a table with one announcement per stop that steps the fares,
// each as long as the table's size limit lets 301 of them be.
void writeLargestRoute(const QString& dir) {
    fare::FareRecord stop{nameOf(0xFFFF), 1, {}};
    for (int c = 1; c <= fare::DataColumns; ++c) stop.column(c) = static_cast<int16_t>(c % 2 ? 32767 : -32768);
    const std::vector<fare::FareRecord> stops(fare::TableRows, stop);
    std::string error;
    const auto hy3 = fare::hy3::write(stops, &error);
    if (!hy3 || hy3->size() != fare::hy3::MaxFileBytes) {
        std::fprintf(stderr, "cannot write the largest route: %s\n", error.c_str());
        std::exit(1);
    }
    std::ofstream(dir.toStdString() + "/1.hy3", std::ios::binary) << *hy3;

    const std::string tail = "です。\",1,0\r\n";
    const size_t line = MaxTapeFileBytes / fare::TableRows;
    const std::string text = *cp932::fromUtf8("\"次は、" + nameOf(line - 20) + tail);
    std::string table;
    for (int k = 0; k < fare::TableRows; ++k) table += text;
    std::ofstream(dir.toStdString() + "/1tp.csv", std::ios::binary) << table;
}

// Starts the resident high-water mark afresh.
void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Notes when the board window or any of its displays has been painted.
struct PaintWatch : QObject {
    QWidget* window = nullptr;
    bool painted = false;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget*>(o)->window() == window)
            painted = true;
        return false;
    }
    // Runs events until the next paint; false when none comes within five seconds.
    bool waitForPaint() {
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (!painted && Clock::now() < until) QApplication::processEvents(QEventLoop::AllEvents, 5);
        const bool seen = painted;
        painted = false;
        return seen;
    }
};

// Route `route` of `folder` set, then stepped to its end as the ride steps it: "送り" of the
// broadcast group while a table is loaded and the voice speaks, else "データ送り". `plugin`, when
// given, is the ticket plugin of the preview, which is then on.
void ride(Ferio& ferio, const char* what, const std::string& folder, const QString& route,
          const std::string& plugin = {}) {
    OptionInfo o = ferio.dialog().GetOptionInfo();
    o.FareDataDir = o.TapeDataDir = folder;
    o.UseSeiriPrev = plugin.empty() ? 0 : 1;
    o.SeiriPlgPath = plugin;
    ferio.dialog().SetOptionInfo(o);
    PaintWatch watch;
    watch.window = &ferio.board();
    qApp->installEventFilter(&watch);

    const int loaded = ferio.engine().routesLoaded();
    resetPeakResident();
    const auto set = Clock::now();
    SourceTimer timer;
    Ride ride(ferio, timer, route, std::chrono::hours(24)); // its timer never fires: the steps are taken below
    ride.start();
    watch.waitForPaint();
    const double setMs = ms(Clock::now() - set);
    if (ferio.engine().routesLoaded() == loaded) {
        std::fprintf(stderr, "%s: the route was not set\n", what);
        std::exit(1);
    }
    const double afterLoad = residentMB();
    double peak = afterLoad, slowest = 0, total = 0;
    int steps = 0;
    for (;;) {
        const int stop = ferio.engine().state().CurrentStop;
        const auto pressed = Clock::now();
        ride.step();
        if (ferio.engine().routesLoaded() != loaded + 1) break; // the route's end set it again
        if (ferio.engine().state().CurrentStop != stop && !watch.waitForPaint()) {
            std::fprintf(stderr, "%s: no paint after step %d\n", what, steps + 1);
            std::exit(1);
        }
        const double answer = ms(Clock::now() - pressed);
        slowest = std::max(slowest, answer);
        total += answer;
        ++steps;
        peak = std::max(peak, residentMB());
        // About as long as the monkey leaves between two presses: the voice goes on meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        peak = std::max(peak, residentMB());
    }
    qApp->removeEventFilter(&watch);
    std::printf("%s: route set %.0f ms; resident %.1f MB after the route set, %.1f MB at most over %d steps "
                "(high-water mark since the route set began %.1f MB); slowest step %.1f ms, mean %.1f ms\n",
                what, setMs, afterLoad, peak, steps, peakResidentMB(), slowest, steps ? total / steps : 0.0);
}

// One whole longest name given to the voice: how long speak() takes and what the synthesis
// under way adds to resident memory over a few seconds.
void speakLongName(JapaneseSpeech& voice) {
    const std::string name = nameOf(0xFFFF);
    const double before = residentMB();
    const auto asked = Clock::now();
    voice.speak(name);
    const double returned = ms(Clock::now() - asked);
    double peak = before;
    while (Clock::now() - asked < std::chrono::seconds(8)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peak = std::max(peak, residentMB());
    }
    voice.stopSpeaking();
    std::printf("voice, one name of 65,535 bytes: speak() returned in %.2f ms; resident %.1f MB before, "
                "%.1f MB at most over 8 s of speaking\n",
                returned, before, peak);
}

} // namespace

int main(int argc, char** argv) {
    quietDesktop();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    writeLargestRoute(dir.path());
    malloc_trim(0); // what the writing took is given back: it is not the program's memory
    RealProgram program(dir.filePath(QStringLiteral("ferio.in4")));
    Ferio& ferio = *program.ferio;
    JapaneseSpeech* voice = program.voice.get();
    QApplication::processEvents();
    std::printf("%s; resident %.1f MB after start-up\n", voice ? "with the voice" : "without a voice: data steps",
                residentMB());

    ride(ferio, "largest route (301 names of 65,535 bytes)", dir.path().toStdString(), QStringLiteral("1"));
    ride(ferio, "largest route with the ticket preview", dir.path().toStdString(), QStringLiteral("1"),
         FERIO_SAMPLES_DIR "/barcode.4SP");
    ride(ferio, "sample route 12", FERIO_SAMPLES_DIR, QStringLiteral("12"));
    if (voice) speakLongName(*voice);
    return 0;
}
