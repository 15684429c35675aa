#pragma once
// What the fare engine and the panel ask of the rest of the program: sound channels, the
// broadcast table, the event loop and the clock.
#include "FareHost.h"

class PanelServices : public fare::Services {
public:
    // Sound files play through the sound channels; until they exist, a request stays silent,
    // which is what a missing sound file does as well.
    void playSound(const std::string& file, const std::string& alias, bool wait) override;
    // The broadcast table of the route; without speech there is nothing to load.
    void tapeLoad(const std::string& dir, const std::string& fileNumber) override;
    void processEvents() override;
    fare::LocalTime now() override;
};
