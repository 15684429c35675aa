#pragma once
// What the broadcast tape needs of a speaking voice: speak a text and go on at once, stop, a
// status in which -1 means the voice is in trouble and should be stopped, and the readings
// dictionary of the route's broadcast-data folder.
#include <cstdint>
#include <string>

class Speaker {
public:
    virtual ~Speaker() = default;
    virtual void speak(const std::string& utf8Text) = 0; // returns while the voice goes on
    virtual void stopSpeaking() = 0;
    virtual int32_t status() = 0;
    // A readings.tsv (empty: none), read afresh for the texts spoken from now on.
    virtual void useReadings(const std::string& file) = 0;
};
