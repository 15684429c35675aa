#pragma once
// The program's own services: the window system's event loop and the system clock.
#include "fare/FareHost.h"

class QtEventLoop : public fare::EventLoop {
public:
    void processEvents() override;
};

class SystemClock : public fare::Clock {
public:
    fare::LocalTime now() override;
};
