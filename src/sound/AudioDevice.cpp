#include "sound/AudioDevice.h"

#include "sound/Limiter.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace audio {
namespace {

// The mix is made in blocks of this many frames at most; the channels and the limiter run on
// sample by sample, so where the blocks fall changes no sample.
constexpr std::size_t BlockFrames = 1024;

struct Channel {
    const Mix_Chunk* chunk = nullptr;
    std::size_t at = 0; // the next sample to play
};

// Everything the mix touches, under one lock: the device's thread takes it for each live mix,
// the main thread to start and stop channels or to pull a recording's mix.
struct Mix {
    std::mutex lock;
    int state = 0; // 0 not tried, 1 open, -1 failed
    Output output = Output::Device;
    MixSpec spec;
    std::array<Channel, SoundChannels> channels;
    VoiceSource* voice = nullptr;
    std::vector<float> sum;
    std::vector<int16_t> voiceBlock;
    Limiter limiter{SampleRate};
    MixListener listener = nullptr;
    void* listenerSelf = nullptr;
};

// Never destroyed: a program that ends without audio::close() still has the audio thread
// mixing into it while the exit handlers run.
Mix& mix() {
    static Mix& m = *new Mix;
    return m;
}

// The next `frames` frames of the channels and the voice, summed and limited; under the lock.
void mixLocked(Mix& m, int16_t* out, std::size_t frames) {
    const bool waitForVoice = m.output == Output::Pulled;
    while (frames > 0) {
        const std::size_t n = std::min(frames, BlockFrames);
        const std::size_t samples = n * static_cast<std::size_t>(m.spec.channels);
        std::fill_n(m.sum.begin(), samples, 0.0f);
        for (Channel& c : m.channels) {
            if (!c.chunk) continue;
            const auto* chunk = reinterpret_cast<const Sint16*>(c.chunk->abuf);
            const std::size_t length = c.chunk->alen / sizeof(Sint16);
            for (std::size_t i = 0; i < samples && c.at < length; ++i) m.sum[i] += chunk[c.at++];
            if (c.at >= length) c = {};
        }
        if (m.voice) {
            m.voice->read(m.voiceBlock.data(), n, waitForVoice);
            for (std::size_t i = 0; i < samples; ++i) m.sum[i] += m.voiceBlock[i];
        }
        m.limiter.process(m.sum.data(), out, n, m.spec.channels);
        out += samples;
        frames -= n;
    }
}

// The live device's one entry into the mix: SDL_mixer's own channels stay silent and the mix
// replaces their output.
void mixToDevice(void*, Uint8* stream, int len) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    mixLocked(m, reinterpret_cast<int16_t*>(stream), static_cast<std::size_t>(len) / m.spec.frameBytes());
    if (m.listener) m.listener(m.listenerSelf, stream, len);
}

// A channel of the sound channels, or nullptr.
Channel* channelAt(Mix& m, int channel) {
    return channel >= 0 && channel < SoundChannels ? &m.channels[static_cast<std::size_t>(channel)] : nullptr;
}

} // namespace

bool open(Output output) {
    Mix& m = mix();
    if (m.state != 0) return m.state > 0;
    m.state = -1;
    // SDL's ALSA backend lets alsa-lib print its whole search for a sound card on stderr; whoever
    // opens the device says in one line that sound is off instead.
    const int savedStderr = dup(STDERR_FILENO);
    if (const int null = ::open("/dev/null", O_WRONLY); null >= 0) {
        dup2(null, STDERR_FILENO);
        ::close(null);
    }
    const auto restoreStderr = [&] {
        if (savedStderr < 0) return;
        dup2(savedStderr, STDERR_FILENO);
        ::close(savedStderr);
    };
    // SDL's audio brings up its event queue, which would turn SIGINT and SIGTERM into quit events
    // that nobody reads: the program would outlive a logout or a `kill`.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const bool pulled = output == Output::Pulled;
    if (pulled) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (pulled) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started) {
        restoreStderr();
        return false;
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
    // 512 frames (12 ms) per mix: a key click is heard within one mix of the key press. A pulled
    // mix is exactly the format it promises; a sound card may ask for its own rate or channels.
    const int changes = pulled ? 0 : SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
    const bool opened = Mix_OpenAudioDevice(SampleRate, AUDIO_S16SYS, 2, 512, nullptr, changes) == 0;
    restoreStderr();
    if (!opened) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    {
        std::lock_guard lock(m.lock);
        m.output = output;
        m.spec = {rate, std::max(channels, 1)};
        m.sum.assign(BlockFrames * static_cast<std::size_t>(m.spec.channels), 0.0f);
        m.voiceBlock.assign(m.sum.size(), 0);
        m.limiter = Limiter(rate);
        m.state = 1;
    }
    // Pulled, the dummy device's thread mixes nothing: the recording alone advances the mix.
    if (!pulled) Mix_SetPostMix(mixToDevice, nullptr);
    return true;
}

bool play(int channel, const Mix_Chunk* chunk) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    Channel* c = channelAt(m, channel);
    if (m.state <= 0 || !c || !chunk) return false;
    *c = {chunk, 0};
    return true;
}

void halt(int channel) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    if (Channel* c = channelAt(m, channel)) *c = {};
}

const Mix_Chunk* playing(int channel) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    const Channel* c = channelAt(m, channel);
    return c ? c->chunk : nullptr;
}

void setVoiceSource(VoiceSource* source) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    m.voice = source;
}

void pull(int16_t* out, std::size_t frames) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    if (m.state > 0 && m.output == Output::Pulled)
        mixLocked(m, out, frames);
    else
        std::fill_n(out, frames * static_cast<std::size_t>(m.spec.channels), int16_t(0));
}

MixSpec mixSpec() {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    return m.spec;
}

bool sounding() {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    return std::any_of(m.channels.begin(), m.channels.end(), [](const Channel& c) { return c.chunk; }) ||
           (m.voice && m.voice->speaking());
}

void listenToMix(MixListener listener, void* self) {
    Mix& m = mix();
    std::lock_guard lock(m.lock);
    m.listener = listener;
    m.listenerSelf = self;
}

void close() {
    Mix& m = mix();
    if (m.state <= 0) return;
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::lock_guard lock(m.lock);
    m.channels.fill({});
    m.state = 0;
}

} // namespace audio
