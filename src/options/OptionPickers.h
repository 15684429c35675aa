#pragma once
// What the options pages ask for when one of their "...", colour or date buttons is pressed. The
// dialog answers with the resource library's pickers; a page's own test answers with a fake.
#include <QString>
#include <cstdint>
#include <optional>

enum class PickedFile { Sound, PanelImage, Plugin };

class OptionPickers {
public:
    virtual ~OptionPickers() = default;

    // The chosen folder, empty when cancelled.
    virtual QString GetPathString() = 0;
    // The chosen file of that kind, empty when cancelled.
    virtual QString chooseFile(PickedFile kind) = 0;
    // The chosen colour (0x00BBGGRR), the picker starting from `colour`; nothing when cancelled.
    virtual std::optional<int32_t> GetBtnColor(int32_t colour) = 0;
    // The chosen date as "yyyy/mm/dd"; nothing when cancelled.
    virtual std::optional<QString> chooseDate() = 0;
};
