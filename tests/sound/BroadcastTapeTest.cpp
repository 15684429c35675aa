#include "sound/mdlM_Tape.h"

#include "reslib/Cp932.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

namespace {
// One log for the voice, the sound channels and the panel's group, in the order of the calls.
class Tape : public testing::Test, public Speaker, public fare::Sound, public TapeView {
protected:
    Tape() {
        fs::create_directories(dir);
        options.PreTapeSoundFile = "always.wav", options.PreTapeSoundFile1 = "one.wav";
        options.PreTapeSoundFile2 = "two.mp3", options.PreTapeSoundFile3 = "three.mid";
        tape.tapeInit(this);
    }
    ~Tape() override { fs::remove_all(dir); }
    void speak(const std::string& text) override { log.push_back("speak:" + text); }
    void stopSpeaking() override { log.push_back("stop"); }
    int32_t status() override { return voiceStatus; }
    void useReadings(const std::string& file) override { log.push_back("readings:" + file); }
    void playSound(const std::string& file, const std::string& channel, bool wait) override {
        log.push_back(channel + ":" + file + (wait ? ":wait" : ""));
    }
    void closeAllSounds() override {}
    void setSpeechAvailable(bool available) override { log.push_back(available ? "usable" : "unusable"); }
    void enableTapeButtons() override { buttons = group = true; }
    void disableTapeGroup() override { group = false; }
    void showUpcoming(const std::string& next, const std::string& back) override { upcoming = {next, back}; }

    // Writes <number>tp.csv, loads it and forgets what was logged so far.
    void load(const std::string& number, const std::string& bytes, const std::string& name = "") {
        std::ofstream(dir / (name.empty() ? number + "tp.csv" : name), std::ios::binary) << bytes;
        tape.tapeLoad(dir.string() + "/", number);
        log.clear();
    }
    Log take() { return std::exchange(log, {}); }

    const fs::path dir = fs::temp_directory_path() / ("ferio-tape-" + std::to_string(getpid()) + "-" +
                                                      testing::UnitTest::GetInstance()->current_test_info()->name());
    Log log;
    int32_t voiceStatus = 0;
    std::optional<bool> buttons;
    bool group = false;
    std::pair<std::string, std::string> upcoming{"unset", "unset"}; // next, back
    OptionInfo options;
    BroadcastTape tape{options, *this, *this};
};
} // namespace

TEST(TapeTable, QuotedAndPlainTextsFlagsAndSkippedBlankLines) {
    const auto table =
        parseTapeTable(*cp932::fromUtf8("\"次は、本町,\"\"駅前\"\"です。 \",1,2\r\n\r\n   \r\n"
                                        "  お降りの方は  , -1 ,32767\r\n  \"終点\"  ,0,-32768\r\n本町,+1, +2"));
    ASSERT_TRUE(table);
    EXPECT_EQ(
        *table,
        (std::vector<TapeEntry>{
            {"次は、本町,\"駅前\"です。 ", 1, 2}, {"お降りの方は", -1, 32767}, {"終点", 0, -32768}, {"本町", 1, 2}}));
    for (const char* bad : {"text only", "t,1", "t,1,2,3", "t,x,1", "t,,1", "t,1.5,0", "t,1,32768", "t,-32769,0",
                            "t,1,2 x", "\"unclosed,1,2", "\"a\"b,1,2", "t,+,1", "t,+-1,0", "t,++1,0", "t,+32768,0"})
        EXPECT_FALSE(parseTapeTable(std::string("good,0,0\r\n") + bad)) << bad;
    EXPECT_FALSE(parseTapeTable(" \r\n\r\n")) << "no entry at all";
}

// A table that starts with the UTF-8 byte-order mark is UTF-8; without it, bytes that are no
// CP932 character make the table malformed, named with its line, never spoken as mojibake.
TEST(TapeTable, ByteOrderMarkMeansUtf8AndOtherBytesMustBeCp932) {
    const auto utf8 = parseTapeTable("\xEF\xBB\xBF\"次は、本町です。\",1,1\r\n\"改\n行\",0,0\r\n");
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, (std::vector<TapeEntry>{{"次は、本町です。", 1, 1}, {"改\n行", 0, 0}}));
    struct Case {
        std::string bytes, error;
    };
    for (const Case& c : std::vector<Case>{
             {"ok,0,0\r\n\"\x82\xA0\x85\x40\",1,0\r\n", "line 2: the text holds bytes that are not CP932"},
             {"\"次は、本町です。\",1,1\r\n",
              "line 1: the text holds bytes that are not CP932"}, // UTF-8 without its mark
             {"\xEF\xBB\xBFok,0,0\r\nx\xFF,0,0\r\n", "line 2: the text is not UTF-8"},
             {"ok,0,0\r\n\"open,0,0\r\n", "line 2: field 1 opens a quote that is never closed"},
         }) {
        std::string error;
        EXPECT_FALSE(parseTapeTable(c.bytes, &error)) << c.bytes;
        EXPECT_EQ(error, c.error);
    }
}

// A text holds at most 256 KiB, counted as it comes out of its quotes; one byte more refuses
// the table, naming the line.
TEST(TapeTable, ATextHoldsAtMost256KiB) {
    constexpr size_t Bound = 256 * 1024;
    const std::string a(Bound - 1, 'a');
    struct Case {
        std::string text, error; // no error: taken
    } cases[] = {
        {a + "a", ""},
        {"\"" + a + "\"\"\"", ""}, // a doubled quote is one byte of the text
        {a + "aa", "line 2: field 1 is longer than 262144 bytes"},
        {"\"" + a + "a\"\"\"", "line 2: field 1 is longer than 262144 bytes"},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto table = parseTapeTable("ok,0,0\r\n" + c.text + ",1,0\r\n", &error);
        EXPECT_EQ(error, c.error) << c.text.substr(0, 2) << "... of " << c.text.size() << " bytes";
        if (c.error.empty() && table) {
            EXPECT_EQ(table->at(1).text.size(), Bound);
        }
    }
}

TEST_F(Tape, AMalformedTableIsNamedOnStandardErrorWithItsLine) {
    testing::internal::CaptureStderr();
    load("9", "ok,0,0\r\n\x85\x40,1,0\r\n");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(group);
    EXPECT_EQ(said, (dir / "9tp.csv").string() + ": line 2: the text holds bytes that are not CP932\n");
}

TEST_F(Tape, LoadFindsExactNameFirstAndAnyFaultDisablesTheGroup) {
    load("7", "a,0,0\r\nb,0,0\r\n", "7TP.CSV");
    EXPECT_EQ(tape.count(), 2);
    load("7", "exact,0,0\r\n");
    EXPECT_EQ(tape.count(), 1);
    EXPECT_EQ(buttons, true);

    std::string huge;
    while (huge.size() <= MaxTapeFileBytes) huge += "announcement,0,0\r\n";
    fs::create_directory(dir / "2tp.csv");
    for (auto [number, bytes] : {std::pair{"2", ""}, {"3", "a,0,0\r\nb,0\r\n"}, {"4", ""}, {"5", huge.c_str()}}) {
        load("1", "a,1,1\r\nb,1,1\r\nc,1,1\r\n");
        tape.tapeNext(), tape.tapeNext();
        load(number, bytes);
        // The group goes off; the buttons and the position stay as the last good table left them.
        EXPECT_TRUE(!group && buttons == true && tape.count() == 0 && tape.position() == 2) << number;
    }
    load("1", "a,1,1\r\nb,1,1\r\nc,1,1\r\n");
    load("6", "x,0,0\r\ny,0,0\r\n"); // after a longer table
    EXPECT_TRUE(group && buttons == true && tape.count() == 2 && tape.stepFlag(3) == 0 && tape.position() == 0);
    tape.tapeLoad(dir.string() + "/", "8");
    EXPECT_TRUE(!group && tape.count() == 0) << "missing";
}

// Even when the table cannot be read, and whatever the case of the file's name.
TEST_F(Tape, EveryLoadGivesTheVoiceTheFoldersReadings) {
    log.clear();
    tape.tapeLoad(dir.string() + "/", "1");
    EXPECT_EQ(take(), (Log{"readings:"})) << "none";
    std::ofstream(dir / "Readings.TSV") << "本町\tホンマチ\n";
    tape.tapeLoad(dir.string() + "/", "1");
    EXPECT_EQ(take(), (Log{"readings:" + (dir / "Readings.TSV").string()}));
    EXPECT_EQ(readingsFileIn(dir.string()), (dir / "Readings.TSV").string()) << "a folder named without its slash";
}

TEST_F(Tape, WithoutAVoiceTheButtonsAreNeverEnabled) {
    tape.tapeInit(nullptr);
    EXPECT_EQ(take(), (Log{"usable", "unusable"}));
    load("1", "a,1,1\r\n");
    EXPECT_TRUE(buttons != true && tape.count() == 1);
}

TEST_F(Tape, WalkStopsAtBothEndsWithoutSoundOrSpeech) {
    options.PreTapeSoundAlways = 0;
    load("1", "a,1,0\r\nb,0,0\r\nc,1,0\r\n");
    tape.tapeBack();
    EXPECT_EQ(tape.position(), 1);
    EXPECT_EQ(tape.stepFlag(tape.position()), 1) << "the caller steps back though nothing is spoken";
    tape.tapeNext(), tape.tapeNext(), tape.tapeNext();
    EXPECT_EQ(take(), (Log{"stop", "speak:b", "stop", "speak:c"}));
    EXPECT_EQ(tape.position(), 3);
    EXPECT_EQ(tape.stepFlag(tape.position()), 1);
    EXPECT_EQ(tape.stepFlag(0) + tape.stepFlag(4), 0);
    load("1", "a,1,0\r\n");
    tape.tapeNext();
    EXPECT_EQ(take(), (Log{"stop", "speak:a"})) << "the first 送り after a load";
}

TEST_F(Tape, TheButtonsShowWhatTheyWouldSpeakFromHere) {
    using Upcoming = std::pair<std::string, std::string>;
    load("1", "a,1,0\r\nb,0,0\r\nc,1,0\r\n");
    EXPECT_EQ(upcoming, (Upcoming{"a", ""}));
    tape.tapeNext();
    EXPECT_EQ(upcoming, (Upcoming{"b", ""}));
    tape.tapeNext();
    EXPECT_EQ(upcoming, (Upcoming{"c", "a"}));
    tape.tapeNext();
    EXPECT_EQ(upcoming, (Upcoming{"", "b"}));
    tape.tapeNext(); // at the end: nothing more
    EXPECT_EQ(upcoming, (Upcoming{"", "b"}));
    tape.tapeBack();
    EXPECT_EQ(upcoming, (Upcoming{"c", "a"}));
    load("2", "not a table"); // a failed load leaves nothing to show
    EXPECT_EQ(upcoming, (Upcoming{"", ""}));
}

TEST_F(Tape, SoundBeforeTheAnnouncement) {
    load("1", "a,0,1\r\nb,0,0\r\n");
    tape.tapeNext(), tape.tapeNext(), tape.tapeBack();
    EXPECT_EQ(take(), (Log{"S3:always.wav:wait", "stop", "speak:a", "S3:always.wav:wait", "stop", "speak:b",
                           "S2:one.wav:wait", "stop", "speak:a"}));

    options.PreTapeSoundAlways = 0, options.PreTapeSoundByFlag = -1;
    options.PreTapeSoundSync = 0, options.PreTapeSoundAsync = -1;
    load("2", "a,0,1\r\nb,0,2\r\nc,0,3\r\nd,0,0\r\ne,0,4\r\n");
    for (int i = 0; i < 5; ++i) tape.tapeNext();
    tape.tapeBack(), tape.tapeBack();
    Log sounds;
    std::ranges::copy_if(take(), std::back_inserter(sounds), [](const std::string& s) { return s[0] == 'S'; });
    EXPECT_EQ(sounds, (Log{"S3:one.wav", "S3:two.mp3", "S3:three.mid", "S2:three.mid"}));
}

TEST_F(Tape, AVoiceInTroubleIsStoppedAgainAndAReleasedOneIsLeftAlone) {
    options.PreTapeSoundAlways = 0;
    load("1", "a,0,0\r\n");
    voiceStatus = -1;
    tape.tapeNext();
    tape.tapeStop();
    EXPECT_EQ(take(), (Log{"stop", "speak:a", "stop", "stop"}));
    tape.tapeRelease();
    tape.tapeStop(), tape.tapeBack();
    EXPECT_TRUE(log.empty());
}

// The shipped table: every line an entry, and "送り" through it steps the fares from the first
// of route 12's 28 stops to the last.
TEST_F(Tape, SampleTableOfRoute12) {
    tape.tapeLoad(FERIO_SOURCE_SAMPLES "/", "12");
    ASSERT_EQ(buttons, true);
    std::ifstream in(FERIO_SOURCE_SAMPLES "/12tp.csv", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(tape.count(), std::ranges::count(bytes, '\n'));
    EXPECT_EQ(std::ranges::count(bytes, '\r'), tape.count()) << "CR LF line ends";
    int steps = 0;
    for (int p = 1; p <= tape.count(); ++p) steps += tape.stepFlag(p) == 1;
    EXPECT_EQ(steps, 27);
}
