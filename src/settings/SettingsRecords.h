#pragma once
// The settings record and the windows' blocks of it, apart from the windows themselves, so that
// the settings file can be read and written without them. Positions are in twips.
#include "options/model/OptionInfo.h"

#include <array>
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

// The three format settings of one fare display, as the digit-settings dialog sets them.
struct CellDigitSettings {
    int16_t Shift = 0;
    int16_t ZeroMode = 0;
    int16_t FillZero = 0;
};

// Everything the settings file holds, in its order.
struct SettingsRecord {
    OptionInfo Options;
    std::array<int32_t, 17> CustomColors{}; // the colour picker's custom colours, 0x00BBGGRR
    CtrlDataInfo Ctrl;
    FormInfo Form;
    std::array<CellDigitSettings, 32> Cells{};
};
