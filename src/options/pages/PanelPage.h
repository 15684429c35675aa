#pragma once
// Page 1: panel pictures and the ticket-number labels.
#include "options/pages/OptionPage.h"

#include <array>

class PanelPage : public OptionPage {
    Q_OBJECT
public:
    explicit PanelPage(OptionPickers& pickers, QWidget* parent = nullptr);

    std::vector<OptionBinding> bindings() const override;

private:
    // Fills the numbering-style list and chooses its first entry.
    void AddComboItem();

    QCheckBox* useNumbers_ = nullptr;
    std::array<ColorButton*, 3> numberColours_{}; // OFF, ON1, ON2
    QComboBox* styles_ = nullptr;
    QCheckBox* zeroPad_ = nullptr;
    QRadioButton* automatic_ = nullptr;
    QRadioButton* individual_ = nullptr;
    // The image of one backlight state: built in, or the user's file.
    struct Image {
        QRadioButton* builtin = nullptr;
        QRadioButton* user = nullptr;
        QLineEdit* file = nullptr;
    };
    std::array<Image, 3> images_{}; // OFF, ON1, ON2
};
