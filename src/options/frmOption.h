#pragma once
// The options dialog (オプション) and the live store of every option: each control writes its
// field into the record the moment it changes, by the operator or by the program, so every reader
// sees the current value whether the dialog is shown or not. Created hidden once and never
// destroyed; OK applies the options and hides it, closing it only hides it.
#include "options/OptionInfo.h"
#include "reslib/ui/Pickers.h"

#include <QDialog>
#include <array>

class ColorButton;
class DigitPage;
struct OptionField;

// The object name of a field's control: "Option3(7)" becomes "Option3_7", as control arrays are
// named throughout the program.
QString optionControlName(const OptionField& field);

class frmOption : public QDialog {
    Q_OBJECT
public:
    explicit frmOption(QWidget* parent = nullptr);

    // The current options, as the controls hold them.
    const OptionInfo& options() const { return record_; }

    // Every field read from its control (for the settings file).
    OptionInfo GetOptionInfo() const;
    // Writes a record into the controls, in the order the enabling rules and refreshes need.
    void SetOptionInfo(const OptionInfo& record);
    // The board's start-up: ticket-number display on, its three colours at their defaults.
    void setStartupDefaults();
    // Asks for the options to be applied to the board.
    void SetProp();
    // Describes a ticket plugin: its properties and remarks here, and the panel's preview size
    // and company names through pluginDescribed. False (nothing changed) when the path is empty
    // or no usable plugin.
    bool SetPlgin(const QString& path);
    // The folder picker: the chosen folder, empty when cancelled.
    QString GetPathString();
    // The colour picker on a colour button; a digit colour shows on its preview at once.
    void GetBtnColor(ColorButton* button);
    // The colour picker's custom colours, kept across calls (the settings file saves them).
    CustomColorTable& customColors() { return customColors_; }

signals:
    // The options are to be applied to the board and the backlight.
    void setPropRequested();
    // The control panel's backlight is to be applied again (the panel fields have changed).
    void backlightRefreshRequested();
    // A plugin was described: the panel's preview takes its size, and its company names when
    // it has any. Before the operator's own choice is described, the panel's company list is
    // emptied (companiesCleared).
    void pluginDescribed(const QString& path, int width, int height, bool hasCompanies);
    void companiesCleared();

private:
    QWidget* control(const OptionField& field) const;
    void store(const OptionField& field);
    void load(const OptionField& field, const OptionInfo& record);
    void connectPickers();
    QString chooseFile(const QString& title, const std::vector<std::pair<QString, QString>>& filters);
    void choosePlugin();

    OptionInfo record_;
    std::array<QWidget*, 64> controls_{};
    CustomColorTable customColors_{};
    DigitPage* digits_ = nullptr;
};
