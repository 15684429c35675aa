// The ride's pace on a clock of the test's own: the presses of a timetabled route at its times
// compressed by the speed, and the interval for a route whose times are missing or damaged.
#include "app/Ride.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace {

// Runs each wait at once, moving its own time on.
struct FakeTimer : RideTimer {
    long long now = 0;
    std::function<void()> pending;
    std::chrono::milliseconds delay{};
    void wait(std::chrono::milliseconds d, std::function<void()> then) override {
        delay = d;
        pending = std::move(then);
    }
    void runUntil(long long end) {
        while (pending && now + delay.count() <= end) {
            now += delay.count();
            std::exchange(pending, {})();
        }
    }
};

// A route of three stops and a broadcast table: the opening words, then a "次は" that steps for
// each stop after the first. What is pressed is logged with the time it is pressed at.
struct FakeControls : RideControls {
    FakeTimer& timer;
    std::string file;
    bool voice = true;
    int stop = 0, line = 0;
    const std::vector<std::pair<std::string, bool>> tape = {{"opening", false}, {"次は1", true}, {"次は2", true}};
    std::vector<std::string> log;

    FakeControls(FakeTimer& t, std::string f) : timer(t), file(std::move(f)) {}
    void note(const std::string& what) { log.push_back(std::to_string(timer.now) + " " + what); }
    bool resetRoute(const QString&) override {
        stop = line = 0;
        note("reset");
        return true;
    }
    bool announcing() const override { return voice; }
    bool announcementAhead() const override { return line < static_cast<int>(tape.size()); }
    bool stopAhead() const override { return stop < 2; }
    bool announcementSteps() const override { return announcementAhead() && tape[size_t(line)].second; }
    void nextAnnouncement() override {
        note(tape[size_t(line)].first);
        if (tape[size_t(line++)].second) nextStop();
    }
    void nextStop() override { note("stop " + std::to_string(++stop)); }
    int stopCount() const override { return 3; }
    std::string timesFile() const override { return file; }
};

} // namespace

TEST(Ride, TimetabledStopsComeAtTheirCompressedTimesEachAfterItsAnnouncement) {
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("7times.csv")).toStdString();
    // 07:00:00 to 07:00:30 at the first stop, 07:02:00 at the second, 07:04:00 at the terminal.
    const std::string timed = "25200,25230\n25320,25320\n25440,25440\n";
    struct Case {
        const char* what;
        std::optional<std::string> times; // none: no file
        bool voice;
        double speed;
        std::vector<std::string> log;
        std::string error;
        bool once = false; // stops at the end: the log is whole
    };
    const std::vector<Case> cases = {
        {"announced, a minute a second",
         timed,
         true,
         60,
         {"0 reset", "0 opening", "500 次は1", "500 stop 1", "2000 次は2", "2000 stop 2", "12000 reset",
          "12000 opening", "12500 次は1", "12500 stop 1"},
         ""},
        {"without a voice, real time",
         timed,
         false,
         1,
         {"0 reset", "30000 stop 1", "120000 stop 2", "248000 reset"},
         ""},
        {"no times: the interval", {}, true, 60, {"0 reset", "8000 opening", "16000 次は1", "16000 stop 1"}, ""},
        {"damaged: the interval",
         "25200,25230\n25320,x\n25440,25440\n",
         false,
         60,
         {"0 reset", "8000 stop 1", "16000 stop 2", "24000 reset"},
         file + ": line 2: \"25320,x\" is not two times in seconds from 0 to 604800: the ride keeps its interval\n"},
        {"another route's times: the interval",
         "0,0\n60,60\n",
         false,
         60,
         {"0 reset", "8000 stop 1", "16000 stop 2", "24000 reset"},
         file + ": 2 stops for a route of 3: the ride keeps its interval\n"},
        {"announced, once",
         timed,
         true,
         60,
         {"0 reset", "0 opening", "500 次は1", "500 stop 1", "2000 次は2", "2000 stop 2"},
         "",
         true},
        {"no times, once", {}, false, 60, {"0 reset", "8000 stop 1", "16000 stop 2"}, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(file);
        if (c.times) std::ofstream(file, std::ios::binary) << *c.times;
        FakeTimer timer;
        FakeControls controls(timer, file);
        controls.voice = c.voice;
        Ride ride(controls, timer, QStringLiteral("7"), std::chrono::seconds(8), c.speed);
        if (c.once) ride.stopAtTheEnd();
        testing::internal::CaptureStderr();
        ride.start();
        timer.runUntil(c.voice ? 16000 : 248000);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.error);
        if (!c.once && c.log.size() < controls.log.size()) controls.log.resize(c.log.size());
        EXPECT_EQ(controls.log, c.log);
        EXPECT_EQ(ride.ended(), c.once);
    }
}
