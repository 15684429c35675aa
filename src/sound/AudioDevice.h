#pragma once
// The one audio device of the program and the one mix that goes to it: SDL_mixer decodes the
// files, SDL keeps the device, and the playing of the channels, their sum with the voice and the
// limiter are ours, so that live playback and a recording hear the very same samples.
// Without a usable device (no sound card, a busy device) everything that plays stays silent.
#include <cstddef>
#include <cstdint>

struct Mix_Chunk;

namespace audio {

// The sound channels of the mix, besides the voice: 0 ... 3 are "S1" ... "S4".
constexpr int SoundChannels = 4;
constexpr int SampleRate = 44100; // stereo, signed 16-bit

enum class Output {
    Device, // SDL's device plays the mix as it goes
    Pulled, // a recording pulls the mix with pull(); the device is SDL's "dummy" driver and hears nothing
};

// Opens the device on the first call; later calls return the first call's result.
bool open(Output output = Output::Device);
// Closes the device (at exit, after every channel has been closed).
void close();

// Plays the decoded sound on a sound channel from its start, cutting what the channel played;
// false without an open device. The chunk stays the caller's and must outlive its playing.
bool play(int channel, const Mix_Chunk* chunk);
void halt(int channel);
// The sound the channel is playing, nullptr once it has ended or was halted.
const Mix_Chunk* playing(int channel);

// The voice, which the mix pulls from as it goes.
class VoiceSource {
public:
    virtual ~VoiceSource() = default;
    // The next `frames` frames of the voice into `out`, silence for what it lacks. With `wait`
    // (a pulled mix) it returns only once it holds them or has nothing more to say; without, it
    // never blocks (the device's thread is calling).
    virtual void read(int16_t* out, std::size_t frames, bool wait) = 0;
    virtual bool speaking() const = 0;
};
// nullptr: no voice. Once this returns, the mix no longer reads the previous source.
void setVoiceSource(VoiceSource* source);

// The next `frames` stereo frames of the mix (every channel and the voice, after the limiter),
// interleaved; only with Output::Pulled, on the main thread. Every call advances every channel by
// exactly `frames`, so pulls of any sizes give the same samples; the voice is waited for.
void pull(int16_t* out, std::size_t frames);
// True while a channel or the voice still has sound to play.
bool sounding();

// What the mix is made of: 16-bit samples at the rate and channel count the device accepted (a
// sound card may differ from what was asked; a pulled mix never does).
struct MixSpec {
    int rate = SampleRate;
    int channels = 2;
    std::size_t frameBytes() const { return static_cast<std::size_t>(channels) * sizeof(int16_t); }
};
MixSpec mixSpec();

// Sees every mix as it goes to the device, after the limiter (for recording or measuring what
// is heard); one listener at a time, none to stop. The listener runs on the audio thread.
using MixListener = void (*)(void* self, unsigned char* stream, int len);
void listenToMix(MixListener listener, void* self);

} // namespace audio
