#pragma once
// A ride that runs by itself: the route is set as a reset sets it, then every interval the
// broadcast "送り" is pressed when a table is loaded and the voice can speak it, else
// "データ送り"; at the route's end it is set again. It stops when the route cannot be set.
#include <QString>
#include <QTimer>
#include <chrono>

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
    // "送り" of the broadcast group, and "データ送り".
    virtual void nextAnnouncement() = 0;
    virtual void nextStop() = 0;

protected:
    ~RideControls() = default;
};

class Ride {
public:
    Ride(RideControls& controls, QString route, std::chrono::milliseconds interval);
    Ride(const Ride&) = delete;
    Ride& operator=(const Ride&) = delete;

    // Sets the route and starts pressing.
    void start();
    // One press; false once the ride has stopped.
    bool step();

private:
    RideControls& controls_;
    QString route_;
    QTimer timer_;
};
