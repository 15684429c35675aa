#include "sound/MixerCommands.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "reslib/Cp932.h"
#include "sound/MidiLength.h"

namespace {

// General MIDI instruments for the MIDI decoder (FluidSynth), from Debian's timgm6mb-soundfont.
constexpr const char* SoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
// Below this a synthesised tail is inaudible (about -48 dB of full scale).
constexpr int QuietLevel = 128;
constexpr int FadeMs = 50;
// A blocking play gives up this long after the sound should have ended (a stalled device).
constexpr std::chrono::milliseconds WaitMargin{1000};
// A chime or an announcement, not an album: a longer file is not decoded at all (ten minutes
// are 106 MB of samples).
constexpr double LongestSoundSeconds = 600;
// The decoded sounds kept for their files' next open, unless an alias still holds them.
constexpr size_t KeptBytes = size_t(64) << 20;
// A MIDI file is read whole to find its length; no real one comes near this.
constexpr std::streamsize LargestMidiBytes = 16 << 20;

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The mixer channel an alias stands for, by its last two characters "S1" ... "S4"; -1 otherwise.
int mixerChannel(const std::string& alias) {
    if (alias.size() < 2 || alias[alias.size() - 2] != 'S') return -1;
    const int n = alias.back() - '1';
    return n >= 0 && n < audio::SoundChannels ? n : -1;
}

// A MIDI file rendered to samples ends in seconds of near-silence while the synthesiser's voices
// die away; a blocking play should end with the last note's release, not with that tail. Cut the
// chunk shortly after its last audible sample and fade the rest out so the cut does not click.
void trimTail(Mix_Chunk& chunk) {
    const audio::MixSpec spec = audio::mixSpec();
    const int channels = spec.channels;
    auto* samples = reinterpret_cast<Sint16*>(chunk.abuf);
    const size_t frames = chunk.alen / spec.frameBytes();
    size_t end = frames;
    auto quiet = [&](size_t frame) {
        return std::all_of(samples + frame * channels, samples + (frame + 1) * channels,
                           [](Sint16 s) { return std::abs(s) < QuietLevel; });
    };
    while (end > 0 && quiet(end - 1)) --end;
    const size_t fade = std::min(frames - end, size_t(spec.rate) * FadeMs / 1000);
    Sint16* tail = samples + end * channels;
    for (size_t f = 0; f < fade; ++f)
        for (int c = 0; c < channels; ++c)
            tail[f * channels + c] = Sint16(tail[f * channels + c] * double(fade - f) / fade);
    chunk.alen = Uint32((end + fade) * spec.frameBytes());
}

// How long the file would sound, when that can be known without decoding it: MIDI files from their
// events (the renderer cannot tell), other formats from their decoders' headers.
std::optional<double> soundingSeconds(const std::string& path, std::uintmax_t size) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::string bytes(4, '\0');
    if (in.read(bytes.data(), 4) && bytes == "MThd") {
        if (size > std::uintmax_t(LargestMidiBytes)) return std::nullopt;
        bytes.resize(size_t(size));
        in.read(bytes.data() + 4, std::streamsize(size) - 4);
        return in ? midi::playingSeconds(bytes) : std::nullopt;
    }
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    const double seconds = music ? Mix_MusicDuration(music) : -1;
    Mix_FreeMusic(music);
    return seconds < 0 ? 0.0 : seconds; // no length known: a format whose samples the file holds
}

} // namespace

MixerCommands::MixerCommands(timing::Source& time) : time_(time) { Mix_SetSoundFonts(SoundFont); }

MixerCommands::~MixerCommands() {
    for (const Alias& a : aliases_)
        if (a.chunk) audio::halt(mixerChannel(a.name));
    for (const Decoded& d : decoded_) Mix_FreeChunk(d.chunk);
}

int MixerCommands::sendString(const std::string& command) {
    if (command.starts_with("open \"")) {
        const size_t quote = command.rfind('"');
        const std::vector<std::string> w = words(command.substr(quote + 1));
        if (quote < 6 || w.size() != 5 || w[0] != "type" || w[2] != "alias" || w[4] != "wait") return Unrecognised;
        return open(cp932::toUtf8(command.substr(6, quote - 6)), w[1], w[3]);
    }
    const std::vector<std::string> w = words(command);
    if (w.size() >= 4 && w[0] == "play" && w[2] == "from" && w[3] == "0") {
        if (w.size() == 4) return play(w[1], false);
        if (w.size() == 5 && w[4] == "wait") return play(w[1], true);
        return Unrecognised;
    }
    if (w.size() != 2) return Unrecognised;
    if (w[0] == "stop" || w[0] == "close") {
        const int channel = channelOf(w[1]);
        if (channel < 0) return UnknownAlias;
        audio::halt(channel);
        if (w[0] == "close") aliases_[channel] = {};
        return 0;
    }
    return Unrecognised;
}

int MixerCommands::open(const std::string& path, const std::string& type, const std::string& alias) {
    const int channel = mixerChannel(alias);
    if (channel < 0) return UnknownAlias;
    if (type != "waveaudio" && type != "mpegvideo" && type != "sequencer") return Unrecognised;
    if (aliases_[channel].chunk) return AliasInUse;
    if (!audio::open()) return NoDevice;
    Mix_Chunk* chunk = decoded(path, type);
    if (!chunk) return CannotOpen;
    aliases_[channel] = {alias, chunk};
    return 0;
}

Mix_Chunk* MixerCommands::decoded(const std::string& path, const std::string& type) {
    std::error_code error;
    const auto file = std::filesystem::u8path(path);
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    const auto time = error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(file, error);
    if (error) return nullptr;
    const auto kept = std::find_if(decoded_.begin(), decoded_.end(), [&](const Decoded& d) {
        return d.path == path && d.type == type && d.size == size && d.time == time;
    });
    if (kept != decoded_.end()) {
        std::rotate(kept, kept + 1, decoded_.end());
        return decoded_.back().chunk;
    }
    const std::optional<double> seconds = soundingSeconds(path, size);
    if (!seconds || *seconds > LongestSoundSeconds) return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) return nullptr;
    if (type == "sequencer") trimTail(*chunk);
    forgetUnused();
    decoded_.push_back({path, type, size, time, chunk});
    return chunk;
}

// Frees the oldest kept sounds that no alias holds until the rest fit in KeptBytes.
void MixerCommands::forgetUnused() {
    size_t bytes = 0;
    for (const Decoded& d : decoded_) bytes += d.chunk->alen;
    for (auto it = decoded_.begin(); it != decoded_.end() && bytes > KeptBytes;) {
        const bool held =
            std::any_of(aliases_.begin(), aliases_.end(), [&](const Alias& a) { return a.chunk == it->chunk; });
        if (held) {
            ++it;
            continue;
        }
        bytes -= it->chunk->alen;
        Mix_FreeChunk(it->chunk);
        it = decoded_.erase(it);
    }
}

int MixerCommands::play(const std::string& alias, bool wait) {
    const int channel = channelOf(alias);
    if (channel < 0) return UnknownAlias;
    Mix_Chunk* chunk = aliases_[channel].chunk;
    if (!audio::play(channel, chunk)) return CannotPlay;
    if (wait) {
        using namespace std::chrono_literals;
        const audio::MixSpec spec = audio::mixSpec();
        const std::chrono::milliseconds length(std::uint64_t(chunk->alen) * 1000 / (spec.frameBytes() * spec.rate));
        const auto deadline = time_.elapsed() + length + WaitMargin;
        while (audio::playing(channel) && time_.elapsed() < deadline) time_.sleep(5ms);
    }
    return 0;
}

int MixerCommands::channelOf(const std::string& alias) const {
    const int channel = mixerChannel(alias);
    return channel >= 0 && aliases_[channel].chunk && aliases_[channel].name == alias ? channel : -1;
}
