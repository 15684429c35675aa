#include "app/Ride.h"

#include <cmath>
#include <cstdio>
#include <utility>

SourceTimer::SourceTimer(timing::Source& time) : timer_(time.timer([this] { std::exchange(then_, {})(); })) {}

void SourceTimer::wait(std::chrono::milliseconds delay, std::function<void()> then) {
    then_ = std::move(then);
    timer_->start(delay);
}

Ride::Ride(RideControls& controls, RideTimer& timer, QString route, std::chrono::milliseconds interval, double speed)
    : controls_(controls),
      timer_(timer),
      route_(std::move(route)),
      interval_(interval),
      speed_(speed) {}

void Ride::start() {
    if (!controls_.resetRoute(route_)) return;
    const std::string file = controls_.timesFile();
    std::string error;
    auto times = fare::stoptimes::load(file, &error);
    if (times && static_cast<int>(times->size()) != controls_.stopCount())
        error = std::to_string(times->size()) + " stops for a route of " + std::to_string(controls_.stopCount());
    if (!error.empty())
        std::fprintf(stderr, "%s: %s: the ride keeps its interval\n", file.c_str(), error.c_str());
    else if (times)
        times_ = std::move(*times);
    if (times_.empty())
        timer_.wait(interval_, [this] { every(); });
    else
        arrive(0);
}

void Ride::every() {
    if (step()) timer_.wait(interval_, [this] { every(); });
}

bool Ride::step() {
    const bool announcing = controls_.announcing();
    if (announcing ? controls_.announcementAhead() : controls_.stopAhead()) {
        if (announcing)
            controls_.nextAnnouncement();
        else
            controls_.nextStop();
        return true;
    }
    ended_ = !again_;
    return again_ && controls_.resetRoute(route_);
}

void Ride::arrive(size_t stop) {
    // What is said at a stop, such as the route's opening words at the first.
    if (controls_.announcing() && controls_.announcementAhead() && !controls_.announcementSteps())
        controls_.nextAnnouncement();
    if (stop + 1 < times_.size())
        waitBetween(times_[stop].arrival, times_[stop].departure, [this, stop] { leave(stop); });
    else if (!again_)
        ended_ = true;
    else // the terminal: a pause, then the route from its first stop again
        timer_.wait(interval_, [this] {
            if (controls_.resetRoute(route_)) arrive(0);
        });
}

void Ride::leave(size_t stop) {
    const bool announcing = controls_.announcing();
    // Announcements still ahead that move nothing come first; then the one that moves the board.
    while (announcing && controls_.announcementAhead() && !controls_.announcementSteps()) controls_.nextAnnouncement();
    if (announcing && controls_.announcementAhead())
        controls_.nextAnnouncement();
    else if (controls_.stopAhead())
        controls_.nextStop();
    waitBetween(times_[stop].departure, times_[stop + 1].arrival, [this, stop] { arrive(stop + 1); });
}

void Ride::waitBetween(std::int32_t from, std::int32_t to, std::function<void()> then) {
    // Each wait is rounded from the ride's start, so rounding never adds up over a long route.
    const std::int32_t origin = times_.front().arrival;
    auto at = [&](std::int32_t t) { return std::llround((t - origin) * 1000.0 / speed_); };
    timer_.wait(std::chrono::milliseconds(at(to) - at(from)), std::move(then));
}
