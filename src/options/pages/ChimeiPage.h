#pragma once
// Page 3: the stop-name display.
#include "options/pages/OptionPage.h"

#include <array>

class ChimeiPage : public OptionPage {
    Q_OBJECT
public:
    explicit ChimeiPage(OptionPickers& pickers, QWidget* parent = nullptr);

    std::vector<OptionBinding> bindings() const override;

private:
    std::array<ColorButton*, 2> colours_{}; // background, dots
    QComboBox* fonts_ = nullptr;
    QCheckBox* bold_ = nullptr;
};
