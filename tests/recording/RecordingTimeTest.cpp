#include "recording/RecordingTime.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

using namespace std::chrono_literals;
using recording::RecordingTime;

TEST(RecordingTime, TimersComeDueInTheOrderOfTheirTimesThenOfTheirStarts) {
    RecordingTime time({2026, 12, 31, 23, 59, 58});
    std::string fired;
    auto a = time.timer([&] { fired += 'a'; });
    auto b = time.timer([&] { fired += 'b'; });
    auto c = time.timer([&] { fired += 'c'; });
    // A timer that starts itself again, as the board's clock tick does.
    std::unique_ptr<timing::Timer> tick;
    tick = time.timer([&] {
        fired += 't';
        tick->start(1000ms);
    });
    tick->start(1000ms);
    c->start(500ms);
    b->start(1500ms);
    a->start(500ms); // due with c, started after it
    b->stop();
    time.sleep(100ms); // a blocking wait runs no timer
    EXPECT_EQ(time.elapsed(), 100ms);
    EXPECT_EQ(fired, "");
    while (time.runNext(2500ms)) {}
    EXPECT_EQ(fired, "catt");
    EXPECT_EQ(time.elapsed(), 2000ms) << "the time stops at the last timer run";
    EXPECT_EQ(time.nextDue(), 3000ms);
    EXPECT_FALSE(b->isActive());

    // The clock runs on from its start, over midnight and the year's end.
    const fare::LocalTime now = time.now();
    EXPECT_EQ(std::tuple(now.year, now.month, now.day, now.hour, now.minute, now.second),
              std::tuple(2027, 1, 1, 0, 0, 0));

    // Whoever records is handed each sleep's end, and the time never goes back.
    std::chrono::nanoseconds handed{};
    time.onSleep([&](std::chrono::nanoseconds end) { handed = end; });
    time.sleep(40ms);
    time.moveTo(1s);
    EXPECT_EQ(std::tuple(handed, time.elapsed()), std::tuple(2040ms, 2040ms));
}
