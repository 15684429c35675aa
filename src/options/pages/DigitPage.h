#pragma once
// Page 2: digit colours with their previews, and the information digits.
#include "options/pages/OptionPage.h"

#include <array>

class M_Degit;

class DigitPage : public OptionPage {
    Q_OBJECT
public:
    explicit DigitPage(OptionPickers& pickers, QWidget* parent = nullptr);

    std::vector<OptionBinding> bindings() const override;

    // Shows the six colour buttons' colours on the two previews.
    void updatePreviews();

private:
    std::array<M_Degit*, 2> previews_{};    // fare digits, ticket-number digits
    std::array<ColorButton*, 6> colours_{}; // back, unlit, lit of each
    // The four information lines: stop order, ticket number, route number, data column.
    std::array<QCheckBox*, 4> show_{};
    std::array<QComboBox*, 4> cell_{};
    QCheckBox* fromZero_ = nullptr;
    QComboBox* column_ = nullptr;
};
