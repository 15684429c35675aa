// Figures for the settings file: what the exit pays to save it and the start-up to load it.
#include "options/model/OptionTable.h"
#include "settings/mdlIniIo.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// A record as an operator leaves it: every path and sound filled in.
SettingsRecord usedRecord() {
    SettingsRecord r;
    forEachOption(r.Options, [](const OptionField& f, auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>)
            v = "/home/運転士/フェリオ/データ/項目" + std::to_string(f.number) + ".wav";
    });
    return r;
}

// The file in a folder of its own, removed after each benchmark.
struct BenchFile {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "ferio-bench-settings";
    QString path = QString::fromStdString((dir / "ferio.in4").string());
    ~BenchFile() { std::filesystem::remove_all(dir); }
};

void EncodeAndSave(benchmark::State& state) {
    const BenchFile file;
    const SettingsRecord r = usedRecord();
    for (auto _ : state)
        if (settings::saveFile(file.path, r)) state.SkipWithError("save failed");
}
BENCHMARK(EncodeAndSave)->Unit(benchmark::kMicrosecond);

void LoadAndDecode(benchmark::State& state) {
    const BenchFile file;
    settings::saveFile(file.path, usedRecord());
    for (auto _ : state) {
        auto loaded = settings::loadFile(file.path);
        if (!std::holds_alternative<SettingsRecord>(loaded)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(LoadAndDecode)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
