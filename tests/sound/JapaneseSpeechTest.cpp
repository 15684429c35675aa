// The voice as the mixer hears it (SDL's dummy driver mixes in real time), its settings file
// and its dialog.
#include "sound/JapaneseSpeech.h"
#include "sound/AudioDevice.h"
#include "sound/VoiceDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

const char* const LongAnnouncement = "次は、市役所前です。お降りの方は、お近くのボタンでお知らせください。"
                                     "この バスは、中央駅前行きです。毎度ご乗車ありがとうございます。";

// Frame counts of everything the mixer has put out, taken after the channels are mixed.
struct MixLog {
    std::atomic<int64_t> frames{0};
    std::atomic<int64_t> firstSound{-1};
    std::atomic<int64_t> lastSound{-1};

    static void postMix(void* self, Uint8* stream, int len) {
        auto* log = static_cast<MixLog*>(self);
        const auto* samples = reinterpret_cast<const Sint16*>(stream);
        const int count = len / static_cast<int>(sizeof(Sint16));
        for (int i = 0; i < count; ++i) {
            if (samples[i] == 0) continue;
            const int64_t frame = log->frames + i / 2;
            if (log->firstSound < 0) log->firstSound = frame;
            log->lastSound = frame;
        }
        log->frames += count / 2;
    }
    int64_t silentFor() const { return frames - lastSound; }
};

int mixRate() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    return rate;
}

template <class Done>
bool waitFor(Done done, std::chrono::milliseconds limit = 15s) {
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

class JapaneseSpeechTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
        speech = JapaneseSpeech::create(VoiceSettings{});
        ASSERT_NE(speech, nullptr) << "MeCab with ipadic-utf8 and espeak-ng's ja voice are needed";
        ASSERT_GT(mixRate(), 0) << "the dummy audio driver should open";
        audio::listenToMix(MixLog::postMix, &log);
    }
    void TearDown() override { audio::listenToMix(nullptr, nullptr); }

    MixLog log;
    std::unique_ptr<JapaneseSpeech> speech;
};

TEST_F(JapaneseSpeechTest, NewTextReplacesTheOldAndIsHeardWhole) {
    speech->speak(LongAnnouncement);
    speech->speak("次は、東京駅です。");
    const int64_t halfSecond = mixRate() / 2;
    ASSERT_TRUE(waitFor([&] { return log.firstSound >= 0 && log.silentFor() > halfSecond; }));
    // About two seconds of speech: the short text, not the long one (over ten seconds).
    const double seconds = double(log.lastSound - log.firstSound) / mixRate();
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 4.0);
    EXPECT_EQ(speech->status(), 0);
}

TEST_F(JapaneseSpeechTest, StopSilencesTheMixerAndCancelsTheSynthesis) {
    // Minutes of speech, so that the synthesis is still under way when stopped.
    std::string minutes;
    for (int i = 0; i < 20; ++i) minutes += LongAnnouncement;
    speech->speak(minutes);
    ASSERT_TRUE(waitFor([&] { return log.firstSound >= 0; }));
    speech->stopSpeaking();
    const int64_t atStop = log.frames;
    std::this_thread::sleep_for(500ms);
    // Only what the mixer had in hand when stopped may follow: under 50 ms of sound.
    EXPECT_LT(log.lastSound - atStop, mixRate() / 20);
    EXPECT_EQ(speech->status(), 0);
}

TEST(JapaneseSpeechSetup, UnavailableWhenMeCabOrTheVoiceCannotLoad) {
    QTemporaryDir noVoiceData;
    EXPECT_EQ(JapaneseSpeech::create(VoiceSettings{}, {noVoiceData.path().toStdString()}), nullptr);
    EXPECT_EQ(JapaneseSpeech::create(VoiceSettings{}, {{}, "/nonexistent/dictionary"}), nullptr);
    // Neither failure keeps the voice from starting afterwards.
    EXPECT_NE(JapaneseSpeech::create(VoiceSettings{}), nullptr);
}

TEST(VoiceSettingsFile, KeptBesideTheSettingsFileWithinRange) {
    EXPECT_EQ(voiceSettingsFile("/opt/ferio/ferio.in4"), "/opt/ferio/ferio.voice");
    QTemporaryDir dir;
    const QString file = dir.filePath("ferio.voice");
    EXPECT_EQ(loadVoiceSettings(file), VoiceSettings{}); // no file yet
    const VoiceSettings chosen{"ja+f2", 200, 70, 150};
    ASSERT_TRUE(saveVoiceSettings(file, chosen));
    EXPECT_EQ(loadVoiceSettings(file), chosen);
    ASSERT_TRUE(saveVoiceSettings(file, {"ja", 5000, -3, 100}));
    const VoiceSettings clamped = loadVoiceSettings(file);
    EXPECT_EQ(clamped.rate, VoiceSettings::RateRange.max);
    EXPECT_EQ(clamped.pitch, VoiceSettings::PitchRange.min);
}

TEST_F(JapaneseSpeechTest, DialogAppliesAndSavesOnOkOnly) {
    QTemporaryDir dir;
    const QString file = dir.filePath("ferio.voice");
    const VoiceSettings before = speech->settings();
    // Changes the voice and the speed, listens, then leaves with the given button.
    const auto answer = [&](QDialogButtonBox::StandardButton button) {
        QTimer::singleShot(0, [&, button] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("音声の調節"));
            dialog->findChild<QComboBox*>("voice")->setCurrentText("ja+f2");
            dialog->findChild<QSpinBox*>("rate")->setValue(220);
            dialog->findChild<QPushButton*>("listen")->click();
            dialog->findChild<QDialogButtonBox*>()->button(button)->click();
        });
    };

    answer(QDialogButtonBox::Cancel);
    EXPECT_FALSE(showVoiceDialog(nullptr, QStringLiteral("音声の調節"), *speech, file));
    EXPECT_EQ(speech->settings(), before); // the sample's settings do not stay
    EXPECT_FALSE(QFile::exists(file));

    answer(QDialogButtonBox::Ok);
    EXPECT_TRUE(showVoiceDialog(nullptr, QStringLiteral("音声の調節"), *speech, file));
    const VoiceSettings after{"ja+f2", 220, before.pitch, before.volume};
    EXPECT_EQ(speech->settings(), after);
    EXPECT_EQ(loadVoiceSettings(file), after);

    speech->setSettings({"no such voice", 150, 50, 100});
    EXPECT_EQ(speech->settings().voice, "ja");
}

} // namespace

TEST(AnnouncementStatus, AFailedSynthesisSilencesOnlyItsOwnAnnouncement) {
    AnnouncementStatus s;
    s.begin(1);
    s.end(1, false); // the first announcement fails
    EXPECT_EQ(s.value(), -1);
    s.begin(2);
    EXPECT_EQ(s.value(), 0) << "the next announcement starts clean";
    s.end(1, false); // a late word from the failed one changes nothing
    EXPECT_EQ(s.value(), 0);
    s.end(2, true);
    EXPECT_EQ(s.value(), 0);
    s.begin(3);
    s.end(3, false);
    s.end(2, true);
    EXPECT_EQ(s.value(), -1);
}

TEST(JapaneseSpeechSetup, NoVoiceWithoutASoundDevice) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process that has not opened audio
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            std::exit(JapaneseSpeech::create(VoiceSettings{}) ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}
