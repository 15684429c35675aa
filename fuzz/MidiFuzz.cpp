// Feeds arbitrary bytes to the MIDI length reader, which runs before any sound file is decoded:
// it may not crash or hang, and a length it gives is a real, non-negative number of seconds.
#include "sound/MidiLength.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto seconds = midi::playingSeconds(std::string_view(reinterpret_cast<const char*>(data), size));
    if (seconds && (!std::isfinite(*seconds) || *seconds < 0)) std::abort();
    return 0;
}
