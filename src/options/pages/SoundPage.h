#pragma once
// Page 4: the sounds.
#include "options/pages/OptionPage.h"

#include <array>

class SoundPage : public OptionPage {
    Q_OBJECT
public:
    explicit SoundPage(OptionPickers& pickers, QWidget* parent = nullptr);

    std::vector<OptionBinding> bindings() const override;

private:
    // One of the two sound groups: "always this sound" or "one of three sounds chosen by the
    // data", the sounds, and how they are played.
    struct Group {
        QRadioButton* always = nullptr;
        QRadioButton* byData = nullptr;
        QRadioButton* sync = nullptr;
        QRadioButton* async = nullptr;
        QLineEdit* alwaysSound = nullptr;
        std::array<QLineEdit*, 3> cases{}; // for 「1」, 「2」, 「3」
    };
    struct GroupTexts;
    QGroupBox* makeGroup(Group& g, const GroupTexts& texts, QLayout* dataSource);
    QHBoxLayout* soundRow(QLineEdit*& box, int index);

    OptionPickers& pickers_;
    QLineEdit* keitoSet_ = nullptr;
    QLineEdit* reset_ = nullptr;
    Group step_, preTape_;
    QComboBox* stepColumn_ = nullptr;
};
