#pragma once
// The desktop's event loop and the system clock, as the fare engine uses them.
#include "fare/EngineViews.h"

class QtEventLoop : public fare::EventLoop {
public:
    void processEvents() override;
};

class SystemClock : public fare::Clock {
public:
    fare::LocalTime now() override;
};
