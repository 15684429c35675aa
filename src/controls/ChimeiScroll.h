#pragma once
// Time-driven scroll of a long stop name: a pause with the panel blank, then the name moves up
// from just below the panel until it has left the top and travelled one more panel height,
// and the cycle starts again. Plain state, advanced by elapsed time, so that the speed on screen
// does not depend on how often the host gets to run it.
#include <cstdint>

class ChimeiScroll {
public:
    // Nominal step rate: one step moves the name Speed / 200 px, so Speed 1 is 2 px/s (one dot
    // row a second), the default 5 is 10 px/s, 100 is 200 px/s and 2000 is 4000 px/s.
    static constexpr double kStepsPerSecond = 400.0;

    // Starts a cycle for a dot surface `surfaceHeight` px high in a `viewportHeight` px panel.
    void start(int viewportHeight, int surfaceHeight, int32_t startWaitMs);
    void stop() { running_ = false; }
    bool running() const { return running_; }

    // Lets `ms` milliseconds pass. `speed` is read as it is now; a speed of 0 when the first
    // pause ends becomes 1. `startWaitMs` is the pause used when the cycle restarts.
    void advance(double ms, int16_t& speed, int32_t startWaitMs);

    int top() const { return top_; } // position of the dot surface's top in the panel
    bool paused() const { return pauseLeftMs_ > 0; }
    // Milliseconds until the shown position can next change (at least 1).
    double msToNextChange(int16_t speed) const;

private:
    void moveTo(double p);

    bool running_ = false;
    bool started_ = false; // the first pause is over
    double p_ = 0;
    int top_ = 0;
    double pauseLeftMs_ = 0;
    int viewportHeight_ = 0;
    int surfaceHeight_ = 0;
};
