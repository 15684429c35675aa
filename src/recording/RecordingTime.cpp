#include "recording/RecordingTime.h"

#include <algorithm>
#include <ctime>

namespace recording {

class RecordingTime::PendingTimer : public timing::Timer {
public:
    PendingTimer(RecordingTime& time, std::function<void()> action) : time_(time), action_(std::move(action)) {
        time_.timers_.push_back(this);
    }
    ~PendingTimer() override { std::erase(time_.timers_, this); }
    void start(std::chrono::milliseconds delay) override {
        due_ = time_.now_ + std::max(delay, std::chrono::milliseconds(0));
        order_ = ++time_.starts_;
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }

    bool before(const PendingTimer& other) const {
        return due_ != other.due_ ? due_ < other.due_ : order_ < other.order_;
    }
    std::chrono::nanoseconds due() const { return due_; }
    void fire() {
        active_ = false;
        action_(); // may start this timer again, or destroy it
    }

private:
    RecordingTime& time_;
    std::function<void()> action_;
    std::chrono::nanoseconds due_{0};
    std::uint64_t order_ = 0;
    bool active_ = false;
};

RecordingTime::RecordingTime(fare::LocalTime start) {
    std::tm t{};
    t.tm_year = start.year - 1900;
    t.tm_mon = start.month - 1;
    t.tm_mday = start.day;
    t.tm_hour = start.hour;
    t.tm_min = start.minute;
    t.tm_sec = start.second;
    start_ = timegm(&t); // counted as UTC, so no daylight-saving change moves the clock
}

RecordingTime::~RecordingTime() = default;

fare::LocalTime RecordingTime::now() {
    const std::time_t seconds = start_ + std::chrono::duration_cast<std::chrono::seconds>(now_).count();
    std::tm t{};
    gmtime_r(&seconds, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

void RecordingTime::sleep(std::chrono::milliseconds duration) {
    const std::chrono::nanoseconds end = now_ + std::max(duration, std::chrono::milliseconds(0));
    if (onSleep_) onSleep_(end);
    moveTo(end);
}

std::unique_ptr<timing::Timer> RecordingTime::timer(std::function<void()> action) {
    return std::make_unique<PendingTimer>(*this, std::move(action));
}

void RecordingTime::moveTo(std::chrono::nanoseconds to) { now_ = std::max(now_, to); }

RecordingTime::PendingTimer* RecordingTime::earliest() const {
    PendingTimer* first = nullptr;
    for (PendingTimer* t : timers_)
        if (t->isActive() && (!first || t->before(*first))) first = t;
    return first;
}

std::chrono::nanoseconds RecordingTime::nextDue() const {
    const PendingTimer* first = earliest();
    return first ? first->due() : std::chrono::nanoseconds(-1);
}

bool RecordingTime::runNext(std::chrono::nanoseconds upTo) {
    PendingTimer* first = earliest();
    if (!first || first->due() > upTo) return false;
    moveTo(first->due());
    first->fire();
    return true;
}

} // namespace recording
