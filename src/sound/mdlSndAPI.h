#pragma once
// The sound channels "S1" ... "S4": sound files played by sending command texts, one channel
// per alias (the program's base name followed by the channel name).
#include <string>

#include "fare/EngineViews.h"
#include "timing/Timing.h"

// Where the command texts go: the mixer's interpreter in the program, a recorder in tests.
class CommandString {
public:
    virtual ~CommandString() = default;
    // command: CP932 bytes. Returns 0 on success, an error number otherwise.
    virtual int sendString(const std::string& command) = 0;
};

class SoundChannels : public fare::Sound {
public:
    // aliasPrefix: UTF-8, the program's model name. The wait after a blocking play is on `time`.
    SoundChannels(CommandString& commands, std::string aliasPrefix, timing::Source& time = timing::systemTime());

    // file: UTF-8 path of a .wav, .mp3 or .mid file; channel "S1" ... "S4". With sync, returns
    // when the sound has ended and then sleeps extraWaitMs. Every failure is silent.
    void playSoundFile(const std::string& file, const std::string& channel, bool sync, int extraWaitMs);

    void playSound(const std::string& file, const std::string& channel, bool wait) override {
        playSoundFile(file, channel, wait, 0);
    }
    void closeAllSounds() override;

private:
    int send(const std::string& utf8Command);

    CommandString& commands_;
    std::string aliasPrefix_;
    timing::Source& time_;
};
