#include "sound/AudioDevice.h"

#include "sound/Limiter.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace audio {
namespace {
int& state() {
    static int s = 0; // 0 not tried, 1 open, -1 failed
    return s;
}

// The sum of one mix, in floats: each joined channel adds its samples here and hands the mixer
// silence; after the channels, the limiter writes the sum into the mixer's output. All of it runs
// on the audio thread, one mix after another.
struct Bus {
    std::vector<float> sum;
    std::array<std::size_t, MixerChannels> cursor{};
    int channels = 2;
    MixListener listener = nullptr;
    void* listenerSelf = nullptr;
    Limiter limiter{SampleRate};
};

// Never destroyed: a program that ends without audio::close() still has the audio thread
// mixing into it while the exit handlers run.
Bus& bus() {
    static Bus& b = *new Bus;
    return b;
}

void addToSum(int channel, void* stream, int len, void*) {
    Bus& b = bus();
    if (channel < 0 || channel >= MixerChannels) return;
    auto* samples = static_cast<Sint16*>(stream);
    const std::size_t n = static_cast<std::size_t>(len) / sizeof(Sint16);
    std::size_t& at = b.cursor[static_cast<std::size_t>(channel)];
    for (std::size_t i = 0; i < n && at < b.sum.size(); ++i) b.sum[at++] += samples[i];
    std::memset(stream, 0, static_cast<std::size_t>(len));
}

void limitSum(void*, Uint8* stream, int len) {
    Bus& b = bus();
    const std::size_t n = std::min(b.sum.size(), static_cast<std::size_t>(len) / sizeof(Sint16));
    const auto perFrame = static_cast<std::size_t>(b.channels);
    b.limiter.process(b.sum.data(), reinterpret_cast<Sint16*>(stream), n / perFrame, b.channels);
    std::fill(b.sum.begin(), b.sum.end(), 0.0f);
    b.cursor.fill(0);
    if (b.listener) b.listener(b.listenerSelf, stream, len);
}

} // namespace

bool open() {
    int& s = state();
    if (s != 0) return s > 0;
    s = -1;
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
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        restoreStderr();
        return false;
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
    // 512 frames (12 ms) per mix: a key click is heard within one mix of the key press.
    const bool opened = Mix_OpenAudio(SampleRate, AUDIO_S16SYS, 2, 512) == 0;
    restoreStderr();
    if (!opened) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(MixerChannels);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    bus().channels = std::max(channels, 1);
    bus().sum.assign(static_cast<std::size_t>(8192 * bus().channels), 0.0f); // beyond any mix's length
    Mix_SetPostMix(limitSum, nullptr);
    s = 1;
    return true;
}

void joinMix(int channel) {
    if (state() > 0) Mix_RegisterEffect(channel, addToSum, nullptr, nullptr);
}

void listenToMix(MixListener listener, void* self) {
    SDL_LockAudio();
    bus().listener = listener;
    bus().listenerSelf = self;
    SDL_UnlockAudio();
}

void close() {
    int& s = state();
    if (s <= 0) return;
    Mix_HaltChannel(-1);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s = 0;
}

} // namespace audio
