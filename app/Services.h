#pragma once
// The program's own services: the window system's event loop, the system clock, and the sound
// channels and broadcast table as far as they exist yet.
#include "FareHost.h"

class QtEventLoop : public fare::EventLoop {
public:
    void processEvents() override;
};

class SystemClock : public fare::Clock {
public:
    fare::LocalTime now() override;
};

// Until the sound channels exist every request stays silent, as a missing sound file does.
class SilentSound : public fare::Sound {
public:
    void playSound(const std::string&, const std::string&, bool) override {}
    void closeAllSounds() override {}
};

// Without speech synthesis there is no broadcast table to load.
class NoBroadcast : public fare::Broadcast {
public:
    void tapeLoad(const std::string&, const std::string&) override {}
    void tapeRelease() override {}
};
