#include "sound/mdlSndAPI.h"

#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>

#include "reslib/Cp932.h"

namespace {

// The device type named by the path's last three characters. Only ASCII letters can match, so
// comparing the last three bytes without case gives the same answer as upper-casing and trimming
// the last three characters.
const char* deviceType(const std::string& path) {
    if (path.size() < 3) return nullptr;
    std::string ext = path.substr(path.size() - 3);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (ext == "WAV") return "waveaudio";
    if (ext == "MP3") return "mpegvideo";
    if (ext == "MID") return "sequencer";
    return nullptr;
}

} // namespace

SoundChannels::SoundChannels(CommandString& commands, std::string aliasPrefix, timing::Source& time)
    : commands_(commands),
      aliasPrefix_(std::move(aliasPrefix)),
      time_(time) {}

int SoundChannels::send(const std::string& utf8Command) {
    return commands_.sendString(cp932::fromUtf8Lossy(utf8Command));
}

void SoundChannels::playSoundFile(const std::string& file, const std::string& channel, bool sync, int extraWaitMs) {
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) return; // whatever the channel plays goes on
    const std::string alias = aliasPrefix_ + channel;
    send("close " + alias);
    const char* type = deviceType(file);
    if (!type) return;
    if (send("open \"" + file + "\" type " + type + " alias " + alias + " wait") != 0) return;
    if (sync) {
        send("play " + alias + " from 0 wait");
        if (extraWaitMs > 0) time_.sleep(std::chrono::milliseconds(extraWaitMs));
    } else {
        send("stop " + alias);
        send("play " + alias + " from 0");
        std::this_thread::yield();
    }
}

void SoundChannels::closeAllSounds() {
    for (const char* channel : {"S1", "S2", "S3", "S4"}) send("close " + aliasPrefix_ + channel);
}
