#pragma once
// The desktop's event loop, as the fare engine uses it.
#include "fare/EngineViews.h"

class QtEventLoop : public fare::EventLoop {
public:
    void processEvents() override;
};
