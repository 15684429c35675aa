// The length of a MIDI file from its events, for files of every timing the format allows.
#include "sound/MidiLength.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string smf(uint16_t division, const std::string& track) {
    const auto be32 = [](size_t n) { return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)}; };
    return std::string("MThd\0\0\0\6\0\0\0\1", 12) + char(division >> 8) + char(division & 0xFF) + "MTrk" +
           be32(track.size()) + track;
}

const std::string End("\x00\xff\x2f\x00", 4);

} // namespace

TEST(MidiLength, CountsTicksThroughTempoChangesRunningStatusAndEveryTiming) {
    struct Case {
        const char* what;
        std::string file;
        double seconds;
    } cases[] = {
        // 480 ticks a beat at the default 120 beats a minute: 1,920 ticks are 2 s.
        {"default tempo", smf(480, std::string("\x00\x90\x3c\x7f\x8f\x00\x80\x3c\x40", 9) + End), 2.0},
        {"an hour in 40 bytes", smf(480, std::string("\x00\x90\x3c\x7f\x81\xd2\xf8\x00\x80\x3c\x40", 11) + End),
         3600.0},
        // 60 beats a minute from the start, then 240 after 480 ticks: 1 s + 480 ticks at 0.25 s a beat.
        {"tempo changes",
         smf(480,
             std::string("\x00\xff\x51\x03\x0f\x42\x40\x83\x60\xff\x51\x03\x03\xd0\x90\x83\x60\x90\x3c\x7f", 20) + End),
         1.25},
        // A second note by running status, a program change of one data byte, a sysex.
        {"running status",
         smf(480, std::string("\x00\xc0\x05\x00\xf0\x02\x7e\xf7\x00\x90\x3c\x7f\x83\x60\x3e\x7f", 16) + End), 0.5},
        // Channel pressure carries one data byte and pitch bend two, each also by running status:
        // a wrong count for either shifts every later delta and the 1,920 ticks (2 s) with them.
        {"pressure and pitch bend",
         smf(480, std::string("\x00\xc0\x05\x00\xd0\x40\x83\x60\x30\x83\x60\xe0\x00\x40\x83\x60\x10\x40"
                              "\x83\x60\x90\x3c\x7f",
                              23) +
                      End),
         2.0},
        // SMPTE: 25 frames a second of 40 ticks: 1,000 ticks a second.
        {"SMPTE timing", smf(0xE728, std::string("\x00\x90\x3c\x7f\x87\x68\x80\x3c\x40", 9) + End), 1.0},
    };
    for (const Case& c : cases) {
        const auto seconds = midi::playingSeconds(c.file);
        ASSERT_TRUE(seconds) << c.what;
        EXPECT_NEAR(*seconds, c.seconds, 1e-6) << c.what;
    }
}

TEST(MidiLength, RefusesWhatIsNotWholeMidi) {
    const std::string whole = smf(480, std::string("\x00\x90\x3c\x7f\x8f\x00\x80\x3c\x40", 9) + End);
    for (const std::string& bad :
         {std::string("RIFF....WAVE"), whole.substr(0, 13), whole.substr(0, whole.size() - 5), smf(0, End),
          smf(480, std::string("\x00\x3c\x7f", 3) + End), smf(480, std::string("\x00\xff\x51\x7f\x00", 5))})
        EXPECT_FALSE(midi::playingSeconds(bad)) << testing::PrintToString(bad);
}
