#include "app/Ride.h"

Ride::Ride(RideControls& controls, QString route, std::chrono::milliseconds interval)
    : controls_(controls),
      route_(std::move(route)) {
    // One shot at a time: a message box that a step opens holds the ride until it is answered.
    timer_.setSingleShot(true);
    timer_.setInterval(interval);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (step()) timer_.start();
    });
}

void Ride::start() {
    if (controls_.resetRoute(route_)) timer_.start();
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
    return controls_.resetRoute(route_);
}
