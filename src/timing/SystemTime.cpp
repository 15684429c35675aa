#include "timing/Timing.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

namespace timing {
namespace {

class QtTimer : public Timer {
public:
    explicit QtTimer(std::function<void()> action) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer); // the scroll moves by it, a coarse timer would judder
        QObject::connect(&timer_, &QTimer::timeout, std::move(action));
    }
    void start(std::chrono::milliseconds delay) override { timer_.start(delay); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

class SystemTime : public Source {
public:
    SystemTime() { started_.start(); }
    std::chrono::nanoseconds elapsed() override { return std::chrono::nanoseconds(started_.nsecsElapsed()); }
    void sleep(std::chrono::milliseconds duration) override {
        QThread::msleep(static_cast<unsigned long>(duration.count()));
    }
    std::unique_ptr<Timer> timer(std::function<void()> action) override {
        return std::make_unique<QtTimer>(std::move(action));
    }

private:
    QElapsedTimer started_;
};

} // namespace

Source& systemTime() {
    static SystemTime time;
    return time;
}

} // namespace timing
