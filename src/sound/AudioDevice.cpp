#include "sound/AudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace audio {
namespace {
int& state() {
    static int s = 0; // 0 not tried, 1 open, -1 failed
    return s;
}
} // namespace

bool open() {
    int& s = state();
    if (s != 0) return s > 0;
    s = -1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
    // 512 frames (12 ms) per mix: a key click is heard within one mix of the key press.
    if (Mix_OpenAudio(SampleRate, AUDIO_S16SYS, 2, 512) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(MixerChannels);
    s = 1;
    return true;
}

void close() {
    int& s = state();
    if (s <= 0) return;
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s = 0;
}

} // namespace audio
