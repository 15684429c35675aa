#include "app/Ferio.h"

#include "reslib/ui/Messages.h"
#include "settings/mdlIniIo.h"

Ferio::Ferio(const FerioServices& services, const QString& settingsFile)
    : services_(services),
      settingsFile_(settingsFile),
      panel_(board_, dialog_.options(), services.sound),
      tape_(dialog_.options(), services.sound, *this),
      engine_(dialog_.options(), board_, panel_, {services.sound, tape_, services.events, services.clock}) {
    QObject::connect(&panel_, &frmCtl::routeSetRequested, &panel_,
                     [this](fare::EntrySource source) { engine_.routeSet(source); });
    QObject::connect(&panel_, &frmCtl::stepRequested, &panel_,
                     [this](fare::StepDirection direction) { engine_.step(direction); });
    QObject::connect(&panel_, &frmCtl::displayClearRequested, &panel_,
                     [this](bool on) { engine_.displayClear(on); });
    QObject::connect(&panel_, &frmCtl::dispDataRequested, &panel_, [this](int record) { engine_.dispData(record); });
    QObject::connect(&panel_, &frmCtl::optionsRequested, &panel_, [this] { editOptions(); });
    QObject::connect(&panel_, &frmCtl::loaded, &panel_, [this] { tape_.tapeInit(services_.voice); });
    QObject::connect(&panel_, &frmCtl::tapeButtonPressed, &panel_, [this](frmCtl::TapeButton b) { tapeButton(b); });
    QObject::connect(&dialog_, &frmOption::setPropRequested, &dialog_, [this] { setProp(); });
    QObject::connect(&dialog_, &frmOption::backlightRefreshRequested, &dialog_,
                     [this] { panel_.Option4_Click(backlightState()); });
    QObject::connect(&dialog_, &frmOption::pluginDescribed, &dialog_,
                     [this](const QString& path, int width, int height, bool hasCompanies) {
                         panel_.setPreviewSize(width, height);
                         if (hasCompanies) panel_.addCompanies(path);
                     });
    QObject::connect(&dialog_, &frmOption::companiesCleared, &panel_, &frmCtl::clearCompanies);
    panel_.setExitHooks({[this] { services_.sound.closeAllSounds(); },
                         [this] { tape_.tapeRelease(); },
                         [this] { SaveSettings(); }});
}

void Ferio::start() {
    board_.Form_Load(panel_, {[this] { dialog_.setStartupDefaults(); }, [this] { dialog_.SetProp(); },
                              [this] { LoadSettings(); }});
    board_.show();
}

int16_t Ferio::backlightState() const {
    const int16_t selected = panel_.selectedBacklight();
    return selected >= 0 ? selected : int16_t{2};
}

void Ferio::setProp() {
    board_.applyDisplayOptions(dialog_.options(), panel_.selectedBacklight());
    panel_.Option4_Click(backlightState());
}

void Ferio::editOptions() {
    board_.setEnabled(false);
    panel_.setEnabled(false);
    dialog_.exec();
    board_.setEnabled(true);
    panel_.setEnabled(true);
    engine_.redrawStopName();
}

void Ferio::tapeButton(frmCtl::TapeButton button) {
    switch (button) {
    case frmCtl::TapeButton::Next:
        tape_.tapeNext();
        if (tape_.stepFlag(tape_.position()) == 1) engine_.step(fare::StepDirection::Forward);
        break;
    case frmCtl::TapeButton::Back:
        tape_.tapeBack();
        if (tape_.stepFlag(tape_.position()) == 1) engine_.step(fare::StepDirection::Back);
        break;
    case frmCtl::TapeButton::Stop:
        tape_.tapeStop();
        break;
    case frmCtl::TapeButton::Adjust:
        if (services_.adjustVoice) services_.adjustVoice(&panel_);
        break;
    }
}

void Ferio::LoadSettings() {
    const settings::Loaded loaded = settings::loadFile(settingsFile_);
    if (std::holds_alternative<settings::Missing>(loaded)) return; // a first start keeps the defaults
    if (const auto* error = std::get_if<CodedError>(&loaded)) {
        msg::info(&panel_, settings::errorMessage(*error));
        return;
    }
    const SettingsRecord& record = std::get<SettingsRecord>(loaded);
    board_.restoreCells(record.Cells, record.Options);
    dialog_.customColors() = record.CustomColors;
    dialog_.SetOptionInfo(record.Options);
    panel_.ctrlDataInfo = record.Ctrl;
    if (!panel_.SetCtrlDataInfo()) {
        msg::info(&panel_, settings::errorMessage(codedError(ErrorCode::InvalidValue)));
        return;
    }
    board_.formInfo = record.Form;
    board_.SetFormInfo();
    dialog_.SetProp();
}

void Ferio::SaveSettings() {
    SettingsRecord record;
    record.Cells = board_.cellSettings();
    record.Options = dialog_.GetOptionInfo();
    panel_.GetCtrlDataInfo();
    record.Ctrl = panel_.ctrlDataInfo;
    board_.GetFormInfo();
    record.Form = board_.formInfo;
    record.CustomColors = dialog_.customColors();
    if (const auto error = settings::saveFile(settingsFile_, record)) msg::info(&panel_, settings::errorMessage(*error));
}
