// Figures for the fare engine: loading a full route file and drawing one stop.
#include "fare/FareEngine.h"
#include "fare/Hy3File.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

// Displays that only count what they are given: the engine's own cost, without widgets.
struct NullHost : fare::BoardView, fare::PanelView, fare::Sound, fare::Broadcast, fare::EventLoop, fare::Clock {
    long calls = 0;
    void setFare(int, int16_t) override { ++calls; }
    void setFareText(int, const std::string&) override { ++calls; }
    void setSmall(int, int16_t) override { ++calls; }
    void lampTest() override {}
    void zeroAll() override {}
    void setChimei(const std::string&) override { ++calls; }
    void clearDisplays() override {}
    void restoreDisplays() override {}
    fare::RouteEntry readEntry(fare::EntrySource) override { return {"301", ""}; }
    void enableDataControls() override {}
    bool lateNight() override { return true; }
    int16_t companyIndex() override { return 0; }
    void clearPreview() override {}
    void drawTicket(const fare::TicketArgs&) override { ++calls; }
    void showMessage(const std::string&) override {}
    void playSound(const std::string&, const std::string&, bool) override {}
    void closeAllSounds() override {}
    void tapeLoad(const std::string&, const std::string&) override {}
    void tapeRelease() override {}
    void processEvents() override {}
    fare::LocalTime now() override { return {}; }
};

std::string fullRoute() {
    std::vector<fare::FareRecord> recs(fare::TableRows);
    for (int r = 0; r < fare::TableRows; ++r) {
        recs[static_cast<size_t>(r)].StopName = "ニュータウン中央" + std::to_string(r);
        for (int c = 1; c <= fare::DataColumns; ++c)
            recs[static_cast<size_t>(r)].column(c) = static_cast<int16_t>(180 + c);
    }
    return *fare::hy3::write(recs, nullptr);
}

void ParseFullRoute(benchmark::State& state) {
    const std::string bytes = fullRoute();
    for (auto _ : state) benchmark::DoNotOptimize(fare::hy3::read(bytes, nullptr));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(ParseFullRoute)->Unit(benchmark::kMicrosecond);

// An engine with route 301 (301 records) in a folder of its own.
struct LoadedRoute {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "ferio-bench-fare";
    OptionInfo options;
    NullHost host;
    fare::FareEngine engine{options, host, host, {host, host, host, host}};
    LoadedRoute() {
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "301.hy3", std::ios::binary) << fullRoute();
        options.FareDataDir = dir.string();
        engine.routeSet(fare::EntrySource::Keypad);
    }
    ~LoadedRoute() { std::filesystem::remove_all(dir); }
};

// The whole route set from disk into the table: open, check, read 301 records, replace the table.
void RouteSetFullRouteFromDisk(benchmark::State& state) {
    LoadedRoute route;
    for (auto _ : state) route.engine.routeSet(fare::EntrySource::Keypad);
}
BENCHMARK(RouteSetFullRouteFromDisk)->Unit(benchmark::kMicrosecond);

// Every cell, the four information cells and the ticket call, with the late-night doubling.
void DispDataAllCells(benchmark::State& state) {
    LoadedRoute route;
    OptionInfo& o = route.options;
    o.InfoKukanShow = o.InfoSeiriShow = o.InfoKeitoShow = o.InfoColumnShow = o.UseSeiriPrev = 1;
    for (auto _ : state) route.engine.dispData(150);
}
BENCHMARK(DispDataAllCells)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
