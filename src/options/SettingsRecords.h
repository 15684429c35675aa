#pragma once
// The windows' blocks of the settings record, apart from the windows themselves, so that the
// settings file can be read and written without them. Positions are in twips.
#include <cstdint>

// The board window's position.
struct FormInfo {
    int32_t BoardLeft = 0;
    int32_t BoardTop = 0;
};

// The control panel's state.
struct CtrlDataInfo {
    int16_t HiddenEntryFrame = 0;
    int32_t ScrollSpeed = 1;
    int32_t ScrollInterval = 0;
    int16_t LateNightFare = 0;
    int16_t PreviewOpen = 0;
    int32_t PanelLeft = 0;
    int32_t PanelTop = 0;
};
