#pragma once
// The options dialog (オプション) and the live store of every option: each control writes its
// field into the record the moment it changes, by the operator or by the program, so every reader
// sees the current value whether the dialog is shown or not. Created hidden once and never
// destroyed; OK applies the options and hides it, closing it only hides it.
#include "options/OptionPickers.h"
#include "options/model/OptionInfo.h"
#include "options/pages/OptionPage.h"
#include "reslib/ui/Pickers.h"

#include <QDialog>
#include <array>

class DigitPage;
class PreviewPage;

class frmOption : public QDialog, public OptionPickers {
    Q_OBJECT
public:
    explicit frmOption(QWidget* parent = nullptr);

    // The current options, as the controls hold them.
    const OptionInfo& options() const { return record_; }

    // Every field read from its control (for the settings file). A list that shows nothing
    // gives the value it was last given, which may be one it has no entry for.
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
    // The colour picker's custom colours, kept across calls (the settings file saves them).
    CustomColorTable& customColors() { return customColors_; }

    // The pickers the pages ask, the resource library's dialogs.
    QString GetPathString() override;
    QString chooseFile(PickedFile kind) override;
    std::optional<int32_t> GetBtnColor(int32_t colour) override;
    std::optional<QString> chooseDate() override;

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
    const OptionControl& control(const OptionField& field) const;
    void store(const OptionField& field);
    void load(const OptionField& field, const OptionInfo& record);
    void usePlugin(const QString& path);

    OptionInfo record_;
    std::array<OptionControl, 64> controls_{}; // in table order
    CustomColorTable customColors_{};
    DigitPage* digits_ = nullptr;
    PreviewPage* preview_ = nullptr;
};
