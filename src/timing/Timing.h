#pragma once
// The program's running time, apart from the date the engine reads: what the stop-name scroll,
// the board's clock tick, the sound's waits and the ride move by. The desktop runs on the system's
// time; a recording runs everything on a time of its own, faster than real time and the same on
// every run.
#include <chrono>
#include <functional>
#include <memory>

namespace timing {

// A one-shot timer on a time source: its action runs once, `delay` after a start.
class Timer {
public:
    virtual ~Timer() = default;
    // A start while the timer is pending begins the delay again.
    virtual void start(std::chrono::milliseconds delay) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class Source {
public:
    virtual ~Source() = default;
    // Time since the source began; it never goes back.
    virtual std::chrono::nanoseconds elapsed() = 0;
    // The whole program waits (a lamp test, a sound played to its end): no timer runs meanwhile.
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    // A timer whose action runs on the program's main thread.
    virtual std::unique_ptr<Timer> timer(std::function<void()> action) = 0;
};

// The system's time, with timers on Qt's event loop.
Source& systemTime();

} // namespace timing
