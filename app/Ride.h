#pragma once
// A ride that runs by itself: the route is set as a reset sets it, then the broadcast "送り" is
// pressed when a table is loaded and the voice can speak it, else "データ送り"; at the route's
// end it is set again. It stops when the route cannot be set.
// A route with its times file moves by the timetable: it leaves each stop at the stop's
// departure time, with the "次は" announcement that moves the board, and at each arrival the
// announcements that move nothing are pressed; the time runs `speed` times as fast. Any other
// route is pressed every interval.
#include "fare/StopTimes.h"
#include "timing/Timing.h"

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a ride presses and looks at.
class RideControls {
public:
    // Keys the route in and presses reset; false when no route was set.
    virtual bool resetRoute(const QString& route) = 0;
    // A broadcast table is loaded and the voice can speak it.
    virtual bool announcing() const = 0;
    // Announcements, or with none stops, that are still ahead.
    virtual bool announcementAhead() const = 0;
    virtual bool stopAhead() const = 0;
    // The next "送り" moves the board a stop.
    virtual bool announcementSteps() const = 0;
    // "送り" of the broadcast group, and "データ送り".
    virtual void nextAnnouncement() = 0;
    virtual void nextStop() = 0;
    // The route that is set: its stops, and its times file.
    virtual int stopCount() const = 0;
    virtual std::string timesFile() const = 0;

protected:
    ~RideControls() = default;
};

// The ride's time, one wait at a time, so that a test or a recording can run it on a clock of
// its own.
class RideTimer {
public:
    // Calls `then` once, `delay` from now; a wait begun while one is pending replaces it.
    virtual void wait(std::chrono::milliseconds delay, std::function<void()> then) = 0;

protected:
    ~RideTimer() = default;
};

// Waits on the program's time (the system's, or a recording's). One shot at a time: on the
// desktop, a message box that a press opens holds the ride until it is answered.
class SourceTimer : public RideTimer {
public:
    explicit SourceTimer(timing::Source& time = timing::systemTime());
    void wait(std::chrono::milliseconds delay, std::function<void()> then) override;

private:
    std::unique_ptr<timing::Timer> timer_;
    std::function<void()> then_;
};

class Ride {
public:
    Ride(RideControls& controls, RideTimer& timer, QString route, std::chrono::milliseconds interval, double speed = 1);
    Ride(const Ride&) = delete;
    Ride& operator=(const Ride&) = delete;

    // Sets the route, reads its times and starts pressing.
    void start();
    // At the route's end the ride stops instead of setting the route again.
    void stopAtTheEnd() { again_ = false; }
    // The ride stopped at the route's end (only after stopAtTheEnd()).
    bool ended() const { return ended_; }
    // One press of a ride by the interval; false once the ride has stopped.
    bool step();

private:
    void every();
    // The timetable's moments: arrived at stop `stop`, or leaving it.
    void arrive(size_t stop);
    void leave(size_t stop);
    // Waits from one timetable time to another, compressed by the speed.
    void waitBetween(std::int32_t from, std::int32_t to, std::function<void()> then);

    RideControls& controls_;
    RideTimer& timer_;
    QString route_;
    std::chrono::milliseconds interval_;
    double speed_;
    std::vector<fare::StopTime> times_; // empty: by the interval
    bool again_ = true;
    bool ended_ = false;
};
