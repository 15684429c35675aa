#include "panel/BacklightChoice.h"

#include <array>

namespace backlight {

Choice choose(const OptionInfo& o, int16_t state) {
    struct PerState {
        int16_t OptionInfo::*userChoice;
        std::string OptionInfo::*userFile;
        int32_t OptionInfo::*labelColour;
    };
    static constexpr std::array<PerState, 3> states{{
        {&OptionInfo::PanelOffUser, &OptionInfo::PanelOffFile, &OptionInfo::SeiriNumColorOff},
        {&OptionInfo::PanelOn1User, &OptionInfo::PanelOn1File, &OptionInfo::SeiriNumColorOn1},
        {&OptionInfo::PanelOn2User, &OptionInfo::PanelOn2File, &OptionInfo::SeiriNumColorOn2},
    }};
    Choice choice;
    if (state < 0 || state >= static_cast<int16_t>(states.size())) {
        choice.error = ErrorCode::Subscript;
        return choice;
    }
    const PerState& s = states[static_cast<size_t>(state)];
    choice.labelColour = o.*s.labelColour;
    if (selected(o.PanelIndividual) && selected(o.*s.userChoice))
        choice.userFile = o.*s.userFile;
    else
        choice.builtinPicture = state;
    return choice;
}

} // namespace backlight
