#pragma once
// How long a standard MIDI file plays, read from its events and tempo changes without
// synthesising it. A few bytes of MIDI can hold an hour-long note, and SDL_mixer renders the whole
// file when it is opened, so its length is known before the renderer is asked.
#include <optional>
#include <string_view>

namespace midi {

// Seconds from the first event to the last one of any track; nullopt for a file that is not a
// standard MIDI file or ends inside an event.
std::optional<double> playingSeconds(std::string_view file);

} // namespace midi
