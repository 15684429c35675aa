// Start-up of the two windows to the first painted board (at 1x and 3x), memory after start-up,
// and one full board update with the real display widgets (at 1x and 4x).
#include "app/DesktopDevices.h"
#include "app/Ferio.h"
#include "fare/Hy3File.h"
#include "sound/MixerCommands.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

struct PaintWatch : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

struct Program {
    MixerCommands mixer;
    SoundChannels sound{mixer, "ferio"};
    QtEventLoop events;
    fare::Clock& clock = fare::systemClock();
    QTemporaryDir settingsDir; // no settings file: a first start
    std::unique_ptr<Ferio> ferio;

    // What main() does, up to the board's first paint.
    void start(const std::string& fareDir = {}, const std::string& ticketPlugin = {}, int scale = 1) {
        ferio = std::make_unique<Ferio>(FerioDevices{sound, events, clock, nullptr, {}},
                                        settingsDir.filePath(QStringLiteral("ferio.in4")));
        OptionInfo options = ferio->dialog().GetOptionInfo();
        options.FareDataDir = fareDir;
        options.UseSeiriPrev = ticketPlugin.empty() ? 0 : 1;
        options.SeiriPlgPath = ticketPlugin;
        ferio->dialog().SetOptionInfo(options);
        ferio->board().setScale(static_cast<int16_t>(scale)); // as --scale does
        PaintWatch watch;
        ferio->board().installEventFilter(&watch);
        ferio->start();
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ferio->board().removeEventFilter(&watch);
    }
};

double residentMegabytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The first start in the process: fonts and the platform are loaded on the way.
void BM_StartupCold(benchmark::State& state) {
    for (auto _ : state) {
        Program p;
        p.start();
        state.counters["rss_MB"] = residentMegabytes();
        state.PauseTiming();
        p.ferio.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupCold)->Iterations(1)->Unit(benchmark::kMillisecond);

// Argument: the board's scale.
void BM_StartupWarm(benchmark::State& state) {
    for (auto _ : state) {
        Program p;
        p.start({}, {}, static_cast<int>(state.range(0)));
        state.PauseTiming();
        p.ferio.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupWarm)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// "設定..." the first time: the hidden options dialog shown and painted.
void BM_OptionsDialogFirstShow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Program p;
        p.start();
        frmOption& dialog = p.ferio->dialog();
        PaintWatch watch;
        dialog.installEventFilter(&watch);
        state.ResumeTiming();
        dialog.show();
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.PauseTiming();
        dialog.hide();
        p.ferio.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OptionsDialogFirstShow)->Unit(benchmark::kMillisecond);

// One board update; arguments: the ticket preview on (1, drawing the barcode sample) or off, and
// the board's scale. Every display is drawn again at the scale's resolution, and the board is
// painted as the screen then shows it.
void BM_DispData(benchmark::State& state) {
    QTemporaryDir dir;
    std::vector<fare::FareRecord> records(3);
    for (int r = 0; r < 3; ++r) {
        records[static_cast<size_t>(r)].StopName = "中央駅前";
        for (int c = 1; c <= 32; ++c) {
            records[static_cast<size_t>(r)].column(c) =
                static_cast<int16_t>(180 + 10 * c + 10 * r); // every stop redraws
            records[static_cast<size_t>(r)].column(c + 80) = static_cast<int16_t>(c);
        }
    }
    std::ofstream(dir.filePath(QStringLiteral("12.hy3")).toStdString(), std::ios::binary)
        << *fare::hy3::write(records, nullptr);

    Program p;
    p.start(dir.path().toStdString(), state.range(0) ? FERIO_SAMPLES_DIR "/barcode.4SP" : "",
            static_cast<int>(state.range(1)));
    frmCtl& panel = p.ferio->panel();
    p.ferio->board().setLampTestMs(0);
    for (int k : {1, 2})
        QMetaObject::invokeMethod(panel.findChild<QObject*>(QStringLiteral("CommandButton1_%1").arg(k)), "click");
    QMetaObject::invokeMethod(panel.findChild<QObject*>(QStringLiteral("Command1_1")), "click");
    int stop = 1;
    for (auto _ : state) {
        panel.DispData(stop);
        p.ferio->board().repaint();
        stop = stop % 3 + 1;
    }
}
BENCHMARK(BM_DispData)->Args({0, 1})->Args({1, 1})->Args({0, 4})->Args({1, 4})->Unit(benchmark::kMicrosecond);

} // namespace
