#pragma once
// The options record: every setting of the program, in record (and settings-file) order.
// check = 0 / 1; choice = -1 selected, 0 not; list = 0-based index, -1 none;
// colour = 0x00BBGGRR (red in the low byte); texts are UTF-8 here and CP932 in files.
#include <cstdint>
#include <string>

struct OptionInfo {
    // folders
    std::string FareDataDir;                  // 1
    std::string TapeDataDir;                  // 2
    // ticket numbers and panel images
    int16_t UseSeiriNumDisp = 1;              // 3  check
    int32_t SeiriNumColorOff = 0xFFFFFF;      // 4  colour
    int32_t SeiriNumColorOn1 = 0xC0FFC0;      // 5
    int32_t SeiriNumColorOn2 = 0x80C0FF;      // 6
    int16_t SeiriNumStyle = 0;                // 7  list
    int16_t SeiriNumZeroPad = 0;              // 8  check
    int16_t PanelAuto = -1;                   // 9  choice
    int16_t PanelIndividual = 0;              // 10
    int16_t PanelOffBuiltin = -1;             // 11
    int16_t PanelOffUser = 0;                 // 12
    int16_t PanelOn1Builtin = -1;             // 13
    int16_t PanelOn1User = 0;                 // 14
    int16_t PanelOn2Builtin = -1;             // 15
    int16_t PanelOn2User = 0;                 // 16
    std::string PanelOffFile;                 // 17
    std::string PanelOn1File;                 // 18
    std::string PanelOn2File;                 // 19
    // digit colours and information cells
    int32_t FareDegitBackColor = 0x858585;      // 20
    int32_t FareDegitBaseForeColor = 0x808DA7;  // 21
    int32_t FareDegitForeColor = 0x79B9FF;      // 22
    int32_t SeiriDegitBackColor = 0x646464;     // 23
    int32_t SeiriDegitBaseForeColor = 0x728068; // 24
    int32_t SeiriDegitForeColor = 0x6EC87E;     // 25
    int16_t InfoKukanShow = 0;                // 26 check
    int16_t InfoKukanPos = 0;                 // 27 list: cell index
    int16_t InfoKukanFromZero = 0;            // 28 check
    int16_t InfoSeiriShow = 0;                // 29
    int16_t InfoSeiriPos = 0;                 // 30
    int16_t InfoKeitoShow = 0;                // 31
    int16_t InfoKeitoPos = 0;                 // 32
    int16_t InfoColumnShow = 0;               // 33
    int16_t InfoColumnNo = 0;                 // 34 list: column index
    int16_t InfoColumnPos = 0;                // 35
    // stop-name display
    int32_t ChimeiBackColor = 0x808080;       // 36
    int32_t ChimeiForeColor = 0x00FFFF;       // 37
    int16_t ChimeiFontMode = -1;              // 38 list
    int16_t ChimeiFontBold = 0;               // 39 check
    // sounds
    std::string SoundKeitoSet;                // 40
    std::string SoundReset;                   // 41
    int16_t StepSoundAlways = -1;             // 42 choice
    int16_t StepSoundByColumn = 0;            // 43
    int16_t StepSoundSync = 0;                // 44
    int16_t StepSoundAsync = -1;              // 45
    std::string StepSoundFile;                // 46
    int16_t StepSoundColumn = 0;              // 47 list: column index
    std::string StepSoundFile1;               // 48
    std::string StepSoundFile2;               // 49
    std::string StepSoundFile3;               // 50
    int16_t PreTapeSoundAlways = -1;          // 51 choice
    int16_t PreTapeSoundByFlag = 0;           // 52
    int16_t PreTapeSoundSync = -1;            // 53
    int16_t PreTapeSoundAsync = 0;            // 54
    std::string PreTapeSoundFile;             // 55
    std::string PreTapeSoundFile1;            // 56
    std::string PreTapeSoundFile2;            // 57
    std::string PreTapeSoundFile3;            // 58
    // ticket preview
    int16_t UseSeiriPrev = 0;                 // 59 check
    std::string SeiriPlgPath;                 // 60
    int16_t DatePerPrint = -1;                // 61 choice
    int16_t DateAtKeitoSet = 0;               // 62
    int16_t DateFixed = 0;                    // 63
    std::string FixedDate;                    // 64 "yyyy/mm/dd"; the dialog sets today's date
};

inline bool selected(int16_t choice) { return choice != 0; }
