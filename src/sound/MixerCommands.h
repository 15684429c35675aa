#pragma once
// The command texts of the sound channels: "open", "play", "stop" and "close" on aliases whose
// names end in the channel ("S1" ... "S4"), one channel of the program's mix each. SDL_mixer
// decodes every file whole when it is opened, so a play starts at once; the decoded sound of a
// file that has not changed since is kept for its next open.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "sound/AudioDevice.h"
#include "sound/mdlSndAPI.h"
#include "timing/Timing.h"

struct Mix_Chunk;

class MixerCommands : public CommandString {
public:
    enum Error { Unrecognised = 1, UnknownAlias, AliasInUse, NoDevice, CannotOpen, CannotPlay };

    // A blocking play waits on `time`: a recording's time runs its mix meanwhile.
    explicit MixerCommands(timing::Source& time = timing::systemTime());
    ~MixerCommands() override;
    MixerCommands(const MixerCommands&) = delete;
    MixerCommands& operator=(const MixerCommands&) = delete;

    // Understands, with A an alias and Q a quoted CP932 path:
    //   open Q type waveaudio|mpegvideo|sequencer alias A wait
    //   play A from 0 [wait]      stop A      close A
    int sendString(const std::string& command) override;

private:
    struct Alias {
        std::string name;
        Mix_Chunk* chunk = nullptr;
    };
    struct Decoded {
        std::string path, type;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time;
        Mix_Chunk* chunk = nullptr;
    };
    int open(const std::string& path, const std::string& type, const std::string& alias);
    // The decoded sound of the file as it is now, from the kept ones or decoded; nullptr when it
    // cannot be decoded or would sound longer than a sound may.
    Mix_Chunk* decoded(const std::string& path, const std::string& type);
    void forgetUnused();
    int play(const std::string& alias, bool wait);
    // The open alias of that name with its mixer channel, or -1.
    int channelOf(const std::string& alias) const;

    timing::Source& time_;
    std::array<Alias, audio::SoundChannels> aliases_;
    std::vector<Decoded> decoded_; // the most recently opened last
};
