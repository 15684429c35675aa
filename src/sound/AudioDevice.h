#pragma once
// The one audio device of the program: SDL's audio opened once through SDL_mixer, shared by the
// sound channels and the speaking voice, so that chimes and speech take one path to the speakers.
// Without a usable device (no sound card, a busy device) everything that plays stays silent.
namespace audio {

// Mixer channels: the four sound channels "S1" ... "S4" and the voice.
constexpr int SoundChannels = 4; // 0 ... 3 are "S1" ... "S4"
constexpr int VoiceChannel = 4;
constexpr int MixerChannels = 5;
constexpr int SampleRate = 44100; // stereo, signed 16-bit

// Opens the device on the first call; later calls return the first call's result.
bool open();
// Closes the device (at exit, after every channel has been closed).
void close();

// Sends what a channel plays into the mix's sum, which the limiter keeps under -1 dBFS: the
// mixer's own sum would clip where chimes and the voice meet. Call it after every start of the
// channel and after the channel's own effects, since a channel loses its effects when it stops.
void joinMix(int channel);

// Sees every mix as it goes to the device, after the limiter (for recording or measuring what
// is heard); one listener at a time, none to stop. The listener runs on the audio thread.
using MixListener = void (*)(void* self, unsigned char* stream, int len);
void listenToMix(MixListener listener, void* self);

} // namespace audio
