#pragma once
// What a backlight state shows on the board, decided from the options alone, so that whoever
// applies it (the program's wiring) needs no panel and a test needs no window.
#include "options/model/OptionInfo.h"
#include "reslib/CodedError.h"

#include <cstdint>
#include <optional>
#include <string>

namespace backlight {

struct Choice {
    std::optional<int> builtinPicture;   // the board's own picture of this state
    std::optional<std::string> userFile; // else a user's picture, shown when the file is there
    int32_t labelColour = 0;             // ticket-number labels, 0x00BBGGRR
    std::optional<ErrorCode> error;      // Subscript: no such state
};

// State 0 OFF, 1 ON1, 2 ON2.
Choice choose(const OptionInfo& options, int16_t state);

} // namespace backlight
