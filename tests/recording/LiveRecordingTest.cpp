// The live recorder on a time of the test's own: which picture each frame shows, when the next
// tick comes, the sound's length, and a failed write reported once.
#include "recording/LiveRecording.h"
#include "Players.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <sys/resource.h>

using namespace std::chrono_literals;
using recording::LiveRecording;
using recording::VideoFile;

namespace {

// A time that moves only when the test says, with one timer that fires when its moment comes.
struct TestTime : timing::Source {
    std::chrono::nanoseconds now{};
    std::function<void()> action;
    std::optional<std::chrono::nanoseconds> due;
    std::chrono::milliseconds lastDelay{-1};

    struct TestTimer : timing::Timer {
        TestTime& time;
        explicit TestTimer(TestTime& t) : time(t) {}
        void start(std::chrono::milliseconds delay) override {
            time.due = time.now + delay;
            time.lastDelay = delay;
        }
        void stop() override { time.due.reset(); }
        bool isActive() const override { return time.due.has_value(); }
    };
    std::chrono::nanoseconds elapsed() override { return now; }
    void sleep(std::chrono::milliseconds d) override { now += d; }
    std::unique_ptr<timing::Timer> timer(std::function<void()> a) override {
        action = std::move(a);
        return std::make_unique<TestTimer>(*this);
    }
    // Moves to `t`; the timer fires there if it was due by then (late, as a busy program is).
    void moveTo(std::chrono::nanoseconds t) {
        now = t;
        if (due && *due <= now) {
            due.reset();
            action();
        }
    }
};

} // namespace

TEST(LiveRecording, EachFrameShowsThePictureOfItsTimeAndTheSoundIsSilenceOfTheSameLength) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("live.mkv"));
    std::string error;
    auto file = VideoFile::create(path.toStdString(), {64, 48, 30, 44100, 2}, &error);
    ASSERT_TRUE(file) << error;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::white, Qt::yellow};
    int grabs = 0;
    TestTime time;
    auto live = std::make_unique<LiveRecording>(
        [&] {
            QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
            picture.fill(colours[grabs++ % colours.size()]);
            return picture;
        },
        std::move(file), time, [](const std::string& why) { ADD_FAILURE() << why; });

    // When the timer is made to fire, and what then: the grabs so far and the next delay.
    const struct {
        std::chrono::nanoseconds at;
        int grabs;
        std::chrono::milliseconds next;
    } ticks[] = {
        {0ns, 1, 34ms},   // frame 0 at the start; frame 1 is due at 33.3 ms
        {40ms, 2, 27ms},  // frame 1, a little late
        {150ms, 3, 17ms}, // frames 2 … 4 missed: one picture stands for them
        {167ms, 4, 33ms}, // frame 5 in its time
    };
    for (const auto& t : ticks) {
        time.moveTo(t.at);
        EXPECT_EQ(grabs, t.grabs) << t.at.count();
        EXPECT_EQ(time.lastDelay, t.next) << t.at.count();
    }
    ASSERT_TRUE(live->finish()) << live->error();
    live.reset();

    const QByteArray rgb = output("ffmpeg", {"-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    ASSERT_EQ(rgb.size(), 6 * 64 * 48 * 3) << "six frames";
    const int shown[] = {0, 1, 2, 2, 2, 3};
    for (int n = 0; n < 6; ++n) {
        const auto* centre = reinterpret_cast<const uint8_t*>(rgb.constData()) + n * 64 * 48 * 3 + (24 * 64 + 32) * 3;
        const QColor expected = colours[shown[n]];
        EXPECT_NEAR(centre[0], expected.red(), 12) << "frame " << n;
        EXPECT_NEAR(centre[1], expected.green(), 12) << "frame " << n;
        EXPECT_NEAR(centre[2], expected.blue(), 12) << "frame " << n;
    }
    const QByteArray sound = output("ffmpeg", {"-v", "error", "-i", path, "-f", "s16le", "-"});
    EXPECT_EQ(sound.size(), 6 * 44100 / 30 * 4) << "the sound lasts as long as the pictures";
    EXPECT_EQ(sound.count('\0'), sound.size()) << "no device: silence";
}

TEST(LiveRecording, AFailedWriteIsReportedOnceAndTheRecordingCanEnd) {
    QTemporaryDir dir;
    std::string error;
    auto file = VideoFile::create(dir.filePath(QStringLiteral("live.mp4")).toStdString(), {320, 240}, &error);
    ASSERT_TRUE(file) << error;
    // Noise does not compress: a file-size limit is soon reached, as a full disk would be.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 200000;
    setrlimit(RLIMIT_FSIZE, &small);
    std::mt19937 random(1);
    TestTime time;
    std::vector<std::string> reports;
    std::unique_ptr<LiveRecording> live;
    live = std::make_unique<LiveRecording>(
        [&] {
            QImage noise(320, 240, QImage::Format_RGB32);
            std::generate_n(reinterpret_cast<uint32_t*>(noise.bits()), 320 * 240, random);
            return noise;
        },
        std::move(file), time,
        [&](const std::string& why) {
            reports.push_back(why);
            live->finish(); // as the program does: the recording ends from its report
        });
    QElapsedTimer waited;
    waited.start();
    while (reports.empty() && waited.elapsed() < 60000) time.moveTo(time.now + 34ms);
    setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_EQ(reports.size(), 1u) << "no failure reported within 60 s";
    EXPECT_NE(reports[0].find("ディスクに空きがありません"), std::string::npos) << reports[0];
    EXPECT_FALSE(time.due) << "still ticking after the failure";
    EXPECT_FALSE(live->finish());
}
