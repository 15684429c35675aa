// From a key click's playSound to the first audible sample the mixer produces, under SDL's
// dummy driver (the same mixing as with a sound card, without the card's own buffering).
#include "sound/AudioDevice.h"
#include "sound/MixerCommands.h"
#include "sound/mdlSndAPI.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
std::atomic<bool> lastMixAudible{true};
std::atomic<Clock::rep> firstAudible{0}; // the time of the first audible mix since it was reset

void watchMix(void*, Uint8* stream, int len) {
    const auto* s = reinterpret_cast<const Sint16*>(stream);
    const bool audible = std::any_of(s, s + len / 2, [](Sint16 v) { return v != 0; });
    if (audible && firstAudible.load() == 0) firstAudible = Clock::now().time_since_epoch().count();
    lastMixAudible = audible;
}

void KeyClickToFirstSample(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!audio::open()) return state.SkipWithError("no audio device");
    audio::listenToMix(watchMix, nullptr);
    MixerCommands mixer;
    SoundChannels sound(mixer, "ferio");
    double worstMs = 0;
    std::minstd_rand random(1);
    for (auto _ : state) {
        sound.closeAllSounds();
        while (lastMixAudible) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The operator's key press falls anywhere between two mixes.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 12000));
        firstAudible = 0;
        const auto start = Clock::now();
        sound.playSound(FERIO_SAMPLES_DIR "/chime1.wav", "S1", false);
        while (firstAudible == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        const double ms =
            double(firstAudible - start.time_since_epoch().count()) * Clock::period::num / Clock::period::den * 1000;
        worstMs = std::max(worstMs, ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["worst_ms"] = worstMs;
    audio::listenToMix(nullptr, nullptr);
}
BENCHMARK(KeyClickToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

// What one play of a sample chime costs the caller: decoding it (a mixer of its own each time)
// against the decoded sound kept from the last play of the unchanged file.
void PlayChime(benchmark::State& state, const char* file, bool kept) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!audio::open()) return state.SkipWithError("no audio device");
    auto mixer = std::make_unique<MixerCommands>();
    for (auto _ : state) {
        if (!kept) mixer = std::make_unique<MixerCommands>();
        SoundChannels(*mixer, "ferio").playSound(std::string(FERIO_SAMPLES_DIR "/") + file, "S2", false);
    }
}
BENCHMARK_CAPTURE(PlayChime, mid_decoded, "chime3.mid", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayChime, mid_kept, "chime3.mid", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayChime, mp3_decoded, "chime2.mp3", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayChime, mp3_kept, "chime2.mp3", true)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
