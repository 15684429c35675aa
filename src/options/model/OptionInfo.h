#pragma once
// The options record: every setting of the program, in record (and settings-file) order.
// check = 0 / 1; choice = -1 selected, 0 not; list = 0-based index, -1 none;
// colour = 0x00BBGGRR (red in the low byte); texts are UTF-8 here and CP932 in files.
// Numbers, kinds, file groups, controls and defaults of the members live in OptionTable.h.
#include <cstdint>
#include <string>

struct OptionInfo {
    OptionInfo(); // every field at its default from the table

    // folders
    std::string FareDataDir;
    std::string TapeDataDir;
    // ticket numbers and panel images
    int16_t UseSeiriNumDisp;
    int32_t SeiriNumColorOff;
    int32_t SeiriNumColorOn1;
    int32_t SeiriNumColorOn2;
    int16_t SeiriNumStyle;
    int16_t SeiriNumZeroPad;
    int16_t PanelAuto;
    int16_t PanelIndividual;
    int16_t PanelOffBuiltin;
    int16_t PanelOffUser;
    int16_t PanelOn1Builtin;
    int16_t PanelOn1User;
    int16_t PanelOn2Builtin;
    int16_t PanelOn2User;
    std::string PanelOffFile;
    std::string PanelOn1File;
    std::string PanelOn2File;
    // digit colours and information cells
    int32_t FareDegitBackColor;
    int32_t FareDegitBaseForeColor;
    int32_t FareDegitForeColor;
    int32_t SeiriDegitBackColor;
    int32_t SeiriDegitBaseForeColor;
    int32_t SeiriDegitForeColor;
    int16_t InfoKukanShow;
    int16_t InfoKukanPos;
    int16_t InfoKukanFromZero;
    int16_t InfoSeiriShow;
    int16_t InfoSeiriPos;
    int16_t InfoKeitoShow;
    int16_t InfoKeitoPos;
    int16_t InfoColumnShow;
    int16_t InfoColumnNo;
    int16_t InfoColumnPos;
    // stop-name display
    int32_t ChimeiBackColor;
    int32_t ChimeiForeColor;
    int16_t ChimeiFontMode;
    int16_t ChimeiFontBold;
    // sounds
    std::string SoundKeitoSet;
    std::string SoundReset;
    int16_t StepSoundAlways;
    int16_t StepSoundByColumn;
    int16_t StepSoundSync;
    int16_t StepSoundAsync;
    std::string StepSoundFile;
    int16_t StepSoundColumn;
    std::string StepSoundFile1;
    std::string StepSoundFile2;
    std::string StepSoundFile3;
    int16_t PreTapeSoundAlways;
    int16_t PreTapeSoundByFlag;
    int16_t PreTapeSoundSync;
    int16_t PreTapeSoundAsync;
    std::string PreTapeSoundFile;
    std::string PreTapeSoundFile1;
    std::string PreTapeSoundFile2;
    std::string PreTapeSoundFile3;
    // ticket preview
    int16_t UseSeiriPrev;
    std::string SeiriPlgPath;
    int16_t DatePerPrint;
    int16_t DateAtKeitoSet;
    int16_t DateFixed;
    std::string FixedDate; // "yyyy/mm/dd"
};

inline bool selected(int16_t choice) { return choice != 0; }
