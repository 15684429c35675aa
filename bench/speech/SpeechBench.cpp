// How soon the voice is heard after speak(), and how soon it falls silent after stopSpeaking(),
// measured where the mixer hands its output to the device (SDL's dummy driver unless
// SDL_AUDIODRIVER names another). Targets: under 60 ms to the first sample, 50 ms to silence.
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"

#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char* const Announcement = "次は、市役所前です。お降りの方は、ボタンでお知らせください。"; // 30 characters

// When the mixer last put out a block holding sound, and the first such block since a reset.
struct MixClock {
    std::atomic<Clock::rep> first{0};
    std::atomic<Clock::rep> last{0};
    static void postMix(void* self, Uint8* stream, int len) {
        auto* clock = static_cast<MixClock*>(self);
        const auto* samples = reinterpret_cast<const Sint16*>(stream);
        for (int i = 0; i < len / 2; ++i) {
            if (samples[i] == 0) continue;
            const Clock::rep now = Clock::now().time_since_epoch().count();
            if (clock->first == 0) clock->first = now;
            clock->last = now;
            return;
        }
    }
};

MixClock mixClock;

JapaneseSpeech& speech() {
    static const std::unique_ptr<JapaneseSpeech> voice = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        auto v = JapaneseSpeech::create(VoiceSettings{});
        if (v) audio::listenToMix(MixClock::postMix, &mixClock);
        return v;
    }();
    return *voice;
}

double secondsSince(Clock::time_point start, Clock::rep end) {
    return std::chrono::duration<double>(Clock::time_point(Clock::duration(end)) - start).count();
}

void waitUntil(const std::atomic<Clock::rep>& time) {
    for (auto limit = Clock::now() + 5s; time == 0 && Clock::now() < limit;) std::this_thread::sleep_for(1ms);
}

void BM_SpeakToFirstSample(benchmark::State& state) {
    JapaneseSpeech& voice = speech();
    for (auto _ : state) {
        mixClock.first = 0;
        const Clock::time_point start = Clock::now();
        voice.speak(Announcement);
        waitUntil(mixClock.first);
        state.SetIterationTime(secondsSince(start, mixClock.first));
        voice.stopSpeaking();
        std::this_thread::sleep_for(100ms);
    }
}
BENCHMARK(BM_SpeakToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StopToSilence(benchmark::State& state) {
    JapaneseSpeech& voice = speech();
    for (auto _ : state) {
        mixClock.first = 0;
        voice.speak(Announcement);
        waitUntil(mixClock.first);
        std::this_thread::sleep_for(200ms);
        const Clock::time_point stop = Clock::now();
        voice.stopSpeaking();
        std::this_thread::sleep_for(200ms);
        state.SetIterationTime(std::max(0.0, secondsSince(stop, mixClock.last)));
    }
}
BENCHMARK(BM_StopToSilence)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_Reading(benchmark::State& state) {
    const auto reading = JapaneseReading::create();
    for (auto _ : state) benchmark::DoNotOptimize(reading->katakana(Announcement));
}
BENCHMARK(BM_Reading)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
