#include "sound/Limiter.h"
#include "sound/MixerCommands.h"
#include "sound/mdlSndAPI.h"

#include "reslib/Cp932.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct Recorder : CommandString {
    std::vector<std::string> sent;
    int openResult = 0;
    int sendString(const std::string& command) override {
        sent.push_back(command);
        return command.starts_with("open") ? openResult : 0;
    }
};

// Sound files in a folder with a Japanese name, so every path goes out as CP932 bytes.
class CommandTexts : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir);
        for (const char* name : {"a.wav", "b.Mp3", "c.MID", "d.midi", "e.wave"}) std::ofstream(dir / name);
    }
    void TearDown() override { fs::remove_all(dir.parent_path()); }
    std::string path(const char* name) { return (dir / name).string(); }
    static std::string cp(const std::string& utf8) { return *cp932::fromUtf8(utf8); }

    fs::path dir = fs::temp_directory_path() / ("ferio-snd-" + std::to_string(getpid())) / "チャイム";
    Recorder rec;
    SoundChannels sound{rec, "ferio"};
};

TEST_F(CommandTexts, EachKindSyncAndAsync) {
    const std::pair<const char*, const char*> kinds[] = {
        {"a.wav", "waveaudio"}, {"b.Mp3", "mpegvideo"}, {"c.MID", "sequencer"}};
    for (auto [name, type] : kinds) {
        const std::string open = cp("open \"" + path(name) + "\" type " + type + " alias ");
        rec.sent.clear();
        sound.playSound(path(name), "S2", true);
        EXPECT_THAT(rec.sent, ElementsAre("close ferioS2", open + "ferioS2 wait", "play ferioS2 from 0 wait"));
        rec.sent.clear();
        sound.playSoundFile(path(name), "S1", false, 0);
        EXPECT_THAT(rec.sent,
                    ElementsAre("close ferioS1", open + "ferioS1 wait", "stop ferioS1", "play ferioS1 from 0"));
    }
}

TEST_F(CommandTexts, WhatIsNotPlayed) {
    for (const std::string& nothing : {std::string(), path("none.wav"), dir.string()}) {
        sound.playSound(nothing, "S1", false);
        EXPECT_THAT(rec.sent, IsEmpty()) << nothing;
    }
    sound.playSound(path("d.midi"), "S3", false); // the channel is closed, nothing opened
    sound.playSound(path("e.wave"), "S3", true);
    EXPECT_THAT(rec.sent, ElementsAre("close ferioS3", "close ferioS3"));
    rec.sent.clear();
    rec.openResult = 263;
    sound.playSound(path("a.wav"), "S2", true);
    EXPECT_EQ(rec.sent.size(), 2u) << "nothing is played after a failed open";
}

TEST_F(CommandTexts, CloseAllInChannelOrder) {
    sound.closeAllSounds();
    EXPECT_THAT(rec.sent, ElementsAre("close ferioS1", "close ferioS2", "close ferioS3", "close ferioS4"));
}

// The real mixer, writing what it plays to a file through SDL's disk driver.
class Mixer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output().c_str(), 1);
        ASSERT_TRUE(audio::open());
    }
    static void TearDownTestSuite() {
        audio::close();
        fs::remove(output());
    }
    static std::string output() {
        return fs::temp_directory_path() / ("ferio-mix-" + std::to_string(getpid()) + ".raw");
    }
    static std::string sample(const char* name) { return std::string(FERIO_SAMPLES_DIR "/") + name; }
    static uintmax_t written() { return fs::exists(output()) ? fs::file_size(output()) : 0; }

    // The loudest sample the mixer wrote after the byte offset `from`.
    static int peakSince(uintmax_t from) {
        std::vector<int16_t> mix((written() - from) / 2);
        std::ifstream in(output(), std::ios::binary);
        in.seekg(std::streamoff(from)).read(reinterpret_cast<char*>(mix.data()), std::streamsize(mix.size() * 2));
        int peak = 0;
        for (int16_t v : mix) peak = std::max(peak, std::abs(int(v)));
        return peak;
    }
    // How long a file sounds when decoded untouched.
    static long decodedMs(const std::string& file) {
        Mix_Chunk* chunk = Mix_LoadWAV(file.c_str());
        int rate = 0, channels = 0;
        Mix_QuerySpec(&rate, nullptr, &channels);
        const long ms = long(chunk->alen) * 1000 / (rate * channels * 2);
        Mix_FreeChunk(chunk);
        return ms;
    }
    static long msTaken(const std::function<void()>& f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        return long((std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1));
    }

    MixerCommands mixer;
    SoundChannels sound{mixer, "ferio"};
};

TEST_F(Mixer, SyncWavBlocksForItsLengthAndIsHeard) {
    const long length = decodedMs(sample("chime1.wav"));
    const uintmax_t from = written();
    const long taken = msTaken([&] { sound.playSound(sample("chime1.wav"), "S2", true); });
    EXPECT_GT(taken, length * 9 / 10); // the disk driver paces each mix in whole milliseconds: a bit fast
    EXPECT_LT(taken, length + 700);
    EXPECT_GT(peakSince(from), 4000);
}

TEST_F(Mixer, ChannelsOverlapAndASecondPlayCutsTheFirst) {
    sound.playSound(sample("chime3.mid"), "S1", false);
    sound.playSound(sample("chime2.mp3"), "S2", false);
    sound.playSound(sample("chime1.wav"), "S3", false);
    EXPECT_TRUE(audio::playing(0) && audio::playing(1) && audio::playing(2));
    sound.playSound(sample("chime1.wav"), "S1", false); // the MIDI melody is longer than this
    sound.playSound(__FILE__, "S3", false);             // no sound file: S3 is only closed
    EXPECT_FALSE(audio::playing(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(decodedMs(sample("chime1.wav")) + 600));
    EXPECT_FALSE(audio::playing(0));
}

TEST_F(Mixer, FourChimesAtOnceStayUnderMinusOneDbfsAndOneAloneIsUntouched) {
    const int ceiling = int(audio::Limiter::Ceiling * 32767);
    uintmax_t from = written();
    sound.playSound(sample("chime1.wav"), "S1", true);
    const int alone = peakSince(from);
    Mix_Chunk* chunk = Mix_LoadWAV(sample("chime1.wav").c_str());
    int filePeak = 0;
    for (Uint32 i = 0; i + 1 < chunk->alen; i += 2)
        filePeak = std::max(filePeak, std::abs(int(*reinterpret_cast<Sint16*>(chunk->abuf + i))));
    Mix_FreeChunk(chunk);
    EXPECT_NEAR(alone, filePeak, filePeak / 100) << "a chime alone passes at its own level";

    from = written();
    for (const char* channel : {"S1", "S2", "S3"}) sound.playSound(sample("chime1.wav"), channel, false);
    sound.playSound(sample("chime1.wav"), "S4", true);
    const int together = peakSince(from);
    std::printf("one chime %.1f dBFS, four at once %.1f dBFS\n", 20 * std::log10(alone / 32767.0),
                20 * std::log10(together / 32767.0));
    EXPECT_LE(together, ceiling);
    EXPECT_GT(together, ceiling * 9 / 10) << "limited, not turned down";
}

TEST(Limiter, CatchesEveryPeakAtOnceAndLetsGoSlowly) {
    audio::Limiter limiter(1000);
    const float ceiling = audio::Limiter::Ceiling * 32767;
    // Quiet, then a burst at four times full scale, then quiet again.
    std::vector<float> in(300 * 2, 8000.0f);
    for (size_t i = 200; i < 220; ++i) in[i] = i % 2 ? -4 * 32767.0f : 4 * 32767.0f;
    std::vector<int16_t> out(in.size());
    limiter.process(in.data(), out.data(), in.size() / 2, 2);
    EXPECT_EQ(out[0], 8000) << "under the ceiling: untouched";
    for (size_t i = 0; i < out.size(); ++i) ASSERT_LE(std::abs(int(out[i])), int(ceiling) + 1) << i;
    EXPECT_LT(out[230], 8000) << "still held down just after the burst";
    EXPECT_GT(out[598], 7700) << "let go again within the release";

    // At the device's rate, a gain stepping back up would stall a rounding short of 1.
    audio::Limiter atDeviceRate(44100);
    const float burst[] = {4 * 32767.0f, -4 * 32767.0f};
    int16_t limited[2];
    atDeviceRate.process(burst, limited, 1, 2);
    const std::vector<float> second(2 * 44100, 29000.0f);
    std::vector<int16_t> after(second.size());
    atDeviceRate.process(second.data(), after.data(), 44100, 2);
    EXPECT_EQ(after.back(), 29000) << "a second after a burst, no trace of it";
}

TEST_F(Mixer, MidiSyncEndsWithItsLastNoteNotItsTail) {
    const long taken = msTaken([&] { sound.playSound(sample("chime3.mid"), "S2", true); });
    EXPECT_GT(taken, 2000); // the melody's notes
    EXPECT_LT(taken, decodedMs(sample("chime3.mid")) - 1500);
}

TEST_F(Mixer, UndecodableFilesAndUnknownAliasesFailQuietly) {
    const fs::path bad = fs::temp_directory_path() / ("ferio-bad-" + std::to_string(getpid()) + ".wav");
    std::ofstream(bad) << "RIFF and nothing more";
    EXPECT_NE(mixer.sendString("open \"" + bad.string() + "\" type waveaudio alias ferioS1 wait"), 0);
    EXPECT_NE(mixer.sendString("play ferioS1 from 0 wait"), 0);
    EXPECT_NE(mixer.sendString("close ferioS4"), 0);
    EXPECT_NE(mixer.sendString("open \"" + sample("chime1.wav") + "\" type waveaudio alias ferioS5 wait"), 0);
    const uintmax_t from = written();
    EXPECT_LT(msTaken([&] { sound.playSound(bad.string(), "S1", true); }), 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(peakSince(from), 0);
    fs::remove(bad);
}

// Forty bytes of MIDI can hold an hour-long note; the renderer would take seconds and a gigabyte.
TEST_F(Mixer, AFileLongerThanTenMinutesIsNotDecodedAndAnUnchangedOneOnlyOnce) {
    const fs::path hour = fs::temp_directory_path() / ("ferio-hour-" + std::to_string(getpid()) + ".mid");
    const std::string track("\x00\x90\x3c\x7f\x81\xd2\xf8\x00\x80\x3c\x40\x00\xff\x2f\x00", 15); // 3,456,000 ticks
    std::ofstream(hour, std::ios::binary) << std::string("MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\x0f", 22) << track;
    EXPECT_LT(msTaken([&] {
                  EXPECT_EQ(mixer.sendString("open \"" + hour.string() + "\" type sequencer alias ferioS1 wait"),
                            MixerCommands::CannotOpen);
              }),
              500);
    fs::remove(hour);

    const fs::path file = fs::temp_directory_path() / ("ferio-kept-" + std::to_string(getpid()) + ".mp3");
    fs::copy_file(sample("chime2.mp3"), file);
    auto openAndPlay = [&] {
        EXPECT_EQ(mixer.sendString("open \"" + file.string() + "\" type mpegvideo alias ferioS2 wait"), 0);
        EXPECT_EQ(mixer.sendString("play ferioS2 from 0"), 0);
        const Mix_Chunk* playing = audio::playing(1);
        mixer.sendString("close ferioS2");
        return playing;
    };
    const Mix_Chunk* first = openAndPlay();
    EXPECT_EQ(openAndPlay(), first) << "the decoded sound of an unchanged file is kept";
    fs::copy_file(sample("chime1.wav"), file, fs::copy_options::overwrite_existing);
    EXPECT_NE(openAndPlay()->alen, first->alen) << "a changed file is decoded again";
    fs::remove(file);
}

TEST(MixerWithoutDevice, OpenFailsAndNothingWaits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process that has not opened audio
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            MixerCommands mixer;
            SoundChannels(mixer, "ferio").playSound(FERIO_SAMPLES_DIR "/chime1.wav", "S2", true);
            std::exit(mixer.sendString("open \"" FERIO_SAMPLES_DIR "/chime1.wav\" type waveaudio alias ferioS2 wait"));
        },
        ::testing::ExitedWithCode(MixerCommands::NoDevice), "");
}

} // namespace
