// The mix as a recording pulls it, with no sound card: every sample where it belongs, whatever
// the sizes of the pulls, and the same on every run.
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"
#include "sound/Limiter.h"
#include "sound/MixerCommands.h"
#include "sound/mdlSndAPI.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Samples = std::vector<int16_t>;

std::string sample(const char* name) { return std::string(FERIO_SAMPLES_DIR "/") + name; }

// `frames` frames of the mix, pulled `step` frames at a time (0: at once).
Samples pulled(std::size_t frames, std::size_t step = 0) {
    Samples out(frames * 2);
    for (std::size_t at = 0; at < frames;) {
        const std::size_t n = step ? std::min(step, frames - at) : frames - at;
        audio::pull(out.data() + at * 2, n);
        at += n;
    }
    return out;
}

// Pulls until the mix falls silent, giving up after a minute of sound.
Samples pulledToTheEnd(std::size_t step) {
    Samples out;
    for (std::size_t frames = 0; audio::sounding(); frames += step) {
        if (frames > 60u * audio::SampleRate) {
            ADD_FAILURE() << "the mix was still sounding after a minute";
            break;
        }
        const Samples more = pulled(step, step);
        out.insert(out.end(), more.begin(), more.end());
    }
    return out;
}

bool played(MixerCommands& mixer, const char* channel, const char* name) {
    const std::string alias = std::string("ferio") + channel;
    mixer.sendString("close " + alias);
    return mixer.sendString("open \"" + sample(name) + "\" type waveaudio alias " + alias + " wait") == 0 &&
           mixer.sendString("play " + alias + " from 0") == 0;
}

bool silent(const Samples& s) {
    return std::all_of(s.begin(), s.end(), [](int16_t v) { return v == 0; });
}

// A recording's time: a sleep pulls exactly the frames it covers.
class RecordingTime : public timing::Source {
public:
    Samples heard;
    std::chrono::nanoseconds elapsed() override { return now_; }
    void sleep(std::chrono::milliseconds duration) override {
        const Samples more = pulled(std::size_t(duration.count()) * audio::SampleRate / 1000);
        heard.insert(heard.end(), more.begin(), more.end());
        now_ += duration;
    }
    std::unique_ptr<timing::Timer> timer(std::function<void()>) override { return nullptr; }

private:
    std::chrono::nanoseconds now_{0};
};

class PulledMix : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1); // a pulled mix needs no sound card
        ASSERT_TRUE(audio::open(audio::Output::Pulled));
    }
    static void TearDownTestSuite() { audio::close(); }

    // The samples of a file as the device's format decodes them.
    static Samples decoded(const char* name) {
        Mix_Chunk* chunk = Mix_LoadWAV(sample(name).c_str());
        const auto* s = reinterpret_cast<const int16_t*>(chunk->abuf);
        Samples out(s, s + chunk->alen / 2);
        Mix_FreeChunk(chunk);
        return out;
    }
    void playOn(const char* channel, const char* name) { ASSERT_TRUE(played(mixer, channel, name)); }

    RecordingTime time;
    MixerCommands mixer{time};
};

TEST_F(PulledMix, AChimeStartsWithThePullAfterItsPlayAndLastsItsLengthWhateverThePullSizes) {
    const Samples chime = decoded("chime1.wav");
    const std::size_t length = chime.size() / 2;
    for (const std::size_t step : {std::size_t(1), std::size_t(7), std::size_t(4410), std::size_t(0)}) {
        SCOPED_TRACE("pulled " + std::to_string(step) + " frames at a time");
        EXPECT_TRUE(silent(pulled(333, step))) << "nothing before the play";
        playOn("S1", "chime1.wav");
        Samples heard = pulled(length - 1, step);
        EXPECT_NE(audio::playing(0), nullptr) << "one frame still to play";
        const Samples last = pulled(1);
        heard.insert(heard.end(), last.begin(), last.end());
        EXPECT_EQ(audio::playing(0), nullptr);
        EXPECT_FALSE(audio::sounding());
        EXPECT_TRUE(heard == chime) << "a chime alone comes out sample for sample";
        EXPECT_TRUE(silent(pulled(333, step))) << "nothing after its end";
    }
}

TEST_F(PulledMix, FourChimesAtOnceStayUnderMinusOneDbfs) {
    for (const char* channel : {"S1", "S2", "S3", "S4"}) playOn(channel, "chime1.wav");
    const Samples heard = pulledToTheEnd(4410);
    int peak = 0;
    for (int16_t v : heard) peak = std::max(peak, std::abs(int(v)));
    const int ceiling = int(audio::Limiter::Ceiling * 32767);
    EXPECT_LE(peak, ceiling + 1);
    EXPECT_GT(peak, ceiling * 9 / 10) << "limited, not turned down";
}

// A blocking play and the wait after it advance the recording by exactly what they cover.
TEST_F(PulledMix, ABlockingPlayWaitsOnTheRecordingsTime) {
    const Samples chime = decoded("chime1.wav");
    const std::size_t fiveMs = audio::SampleRate / 200;
    for (const int extraMs : {0, 250}) {
        SCOPED_TRACE(extraMs);
        time.heard.clear();
        SoundChannels(mixer, "ferio", time).playSoundFile(sample("chime1.wav"), "S2", true, extraMs);
        const std::size_t played = (chime.size() / 2 + fiveMs - 1) / fiveMs * fiveMs; // in 5 ms sleeps
        ASSERT_EQ(time.heard.size() / 2, played + std::size_t(extraMs) * audio::SampleRate / 1000);
        EXPECT_TRUE(std::equal(chime.begin(), chime.end(), time.heard.begin()));
        EXPECT_TRUE(silent(Samples(time.heard.begin() + std::ptrdiff_t(chime.size()), time.heard.end())));
    }
}

} // namespace

// Each recording is a process of its own, as the voice's synthesiser carries its state from one
// text to the next. The two pull in different stretches.
TEST(PulledRecording, TwoRunsOfAChimeAndAnAnnouncementGiveTheSameSamples) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process for each run
    // The child runs this body again from its start: it writes where its parent named.
    if (!getenv("FERIO_RUN_FILE"))
        setenv("FERIO_RUN_FILE", (::testing::TempDir() + "ferio-run-" + std::to_string(getpid()) + ".raw").c_str(), 1);
    const std::string file = getenv("FERIO_RUN_FILE");
    const auto fileOf = [&](std::size_t step) { return file + "." + std::to_string(step); };
    for (const std::size_t step : {std::size_t(7), std::size_t(4410)}) {
        EXPECT_EXIT(
            {
                if (!audio::open(audio::Output::Pulled)) std::exit(2);
                auto speech = JapaneseSpeech::create(VoiceSettings{});
                MixerCommands mixer;
                if (!speech || !played(mixer, "S3", "chime1.wav")) std::exit(3);
                speech->speak("次は、市役所前です。");
                const Samples heard = pulledToTheEnd(step);
                std::ofstream(fileOf(step), std::ios::binary)
                    .write(reinterpret_cast<const char*>(heard.data()), std::streamsize(heard.size() * 2));
                speech.reset();
                audio::close();
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), "");
    }
    const auto heard = [&](std::size_t step) {
        std::ifstream in(fileOf(step), std::ios::binary);
        Samples samples(std::filesystem::file_size(fileOf(step)) / 2);
        in.read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
        std::filesystem::remove(fileOf(step));
        return samples;
    };
    const Samples first = heard(7);
    const Samples second = heard(4410);
    const double seconds = double(first.size() / 2) / audio::SampleRate;
    EXPECT_GT(seconds, 1.5) << "longer than the chime: the announcement is heard";
    EXPECT_LT(seconds, 4.0);
    ASSERT_EQ((first.size() / 2 + 4409) / 4410, second.size() / 2 / 4410) << "both runs end in the same stretch";
    EXPECT_TRUE(std::equal(first.begin(), first.end(), second.begin()));
    EXPECT_TRUE(silent(Samples(second.begin() + std::ptrdiff_t(first.size()), second.end())));
}
