#include "controls/ChimeiScroll.h"

#include <algorithm>
#include <cmath>
#include <limits>

void ChimeiScroll::start(int viewportHeight, int surfaceHeight, int32_t startWaitMs) {
    running_ = true;
    started_ = false;
    viewportHeight_ = viewportHeight;
    surfaceHeight_ = surfaceHeight;
    moveTo(viewportHeight);
    pauseLeftMs_ = std::max(startWaitMs, 0);
}

void ChimeiScroll::moveTo(double p) {
    p_ = p;
    top_ = static_cast<int>(std::lround(p));
}

void ChimeiScroll::advance(double ms, int16_t& speed, int32_t startWaitMs) {
    if (!running_) return;
    if (pauseLeftMs_ > 0) {
        const double used = std::min(ms, pauseLeftMs_);
        pauseLeftMs_ -= used;
        ms -= used;
        if (pauseLeftMs_ > 0) return;
    }
    if (!started_) {
        started_ = true;
        if (speed == 0) speed = 1;
        moveTo(viewportHeight_);
    }
    moveTo(p_ - speed / 200.0 * kStepsPerSecond * ms / 1000.0);
    // Gone from the top and one more panel height on: back below the panel, after a pause.
    if (top_ + surfaceHeight_ <= -viewportHeight_) {
        moveTo(viewportHeight_);
        pauseLeftMs_ = std::max(startWaitMs, 0);
    }
}

double ChimeiScroll::msToNextChange(int16_t speed) const {
    if (pauseLeftMs_ > 0) return std::max(pauseLeftMs_, 1.0);
    const double pxPerMs = std::abs(speed) / 200.0 * kStepsPerSecond / 1000.0;
    if (pxPerMs == 0) return std::numeric_limits<double>::infinity();
    // The shown top is p rounded; it changes when p crosses the next half pixel.
    const double toEdge = speed > 0 ? p_ - (top_ - 0.5) : (top_ + 0.5) - p_;
    return std::max(toEdge / pxPerMs, 1.0);
}
