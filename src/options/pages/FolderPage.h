#pragma once
// Page 0: the fare-data and broadcast-data folders.
#include "options/pages/OptionPage.h"

#include <array>

class FolderPage : public OptionPage {
    Q_OBJECT
public:
    explicit FolderPage(OptionPickers& pickers, QWidget* parent = nullptr);

    std::vector<OptionBinding> bindings() const override;

private:
    std::array<QLineEdit*, 2> folders_{}; // fare data, broadcast data
};
