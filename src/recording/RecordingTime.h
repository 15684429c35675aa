#pragma once
// A recording's own time. It starts at a given date and time and moves only when the recording
// moves it, so a ride renders as fast as the machine allows and every run gives the same frames
// and samples. Timers come due in the order of their times, and of their starts for equal times.
#include "fare/EngineViews.h"
#include "timing/Timing.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace recording {

class RecordingTime : public fare::Clock, public timing::Source {
public:
    explicit RecordingTime(fare::LocalTime start);
    ~RecordingTime() override;

    // fare::Clock: the start date and time, on by the time elapsed.
    fare::LocalTime now() override;
    // timing::Source
    std::chrono::nanoseconds elapsed() override { return now_; }
    void sleep(std::chrono::milliseconds duration) override;
    std::unique_ptr<timing::Timer> timer(std::function<void()> action) override;

    // Who records through a sleep: it is handed the time at which the sleep ends and must move
    // the time there (without it, the time just jumps).
    void onSleep(std::function<void(std::chrono::nanoseconds end)> recordTo) { onSleep_ = std::move(recordTo); }
    // Moves the time forward to `to` (never back).
    void moveTo(std::chrono::nanoseconds to);
    // The time of the earliest pending timer, or a negative time when none is pending.
    std::chrono::nanoseconds nextDue() const;
    // Moves the time to the earliest pending timer due at or before `upTo` and runs its action;
    // false when there is none.
    bool runNext(std::chrono::nanoseconds upTo);

private:
    class PendingTimer;
    friend class PendingTimer;
    PendingTimer* earliest() const;

    std::int64_t start_; // seconds of the start's date and time, counted as UTC
    std::chrono::nanoseconds now_{0};
    std::uint64_t starts_ = 0; // orders timers due at the same time
    std::vector<PendingTimer*> timers_;
    std::function<void(std::chrono::nanoseconds)> onSleep_;
};

} // namespace recording
