#include "app/Ferio.h"

#include "app/BoardScale.h"

#include "opendataui/RouteFolder.h"
#include "panel/Backlight.h"
#include "panel/BacklightChoice.h"
#include "reslib/ui/Messages.h"
#include "settings/mdlIniIo.h"
#include "sound/AudioDevice.h"
#include "window/OnScreen.h"
#include "window/Placement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

namespace {
// The live recording's frame rate.
constexpr int LiveFps = 30;
} // namespace

Ferio::Ferio(const FerioDevices& devices, const QString& settingsFile)
    : devices_(devices),
      settingsFile_(settingsFile),
      panel_(dialog_.options(), devices.sound),
      tape_(dialog_.options(), devices.sound, *this),
      engine_(dialog_.options(), board_, panel_, {devices.sound, tape_, devices.events, devices.clock}) {
    board_.useTime(devices.clock, *devices.time);
    QObject::connect(&panel_, &frmCtl::routeSetRequested, &panel_,
                     [this](fare::EntrySource source) { engine_.routeSet(source); });
    QObject::connect(&panel_, &frmCtl::stepRequested, &panel_,
                     [this](fare::StepDirection direction) { engine_.step(direction); });
    QObject::connect(&panel_, &frmCtl::displayClearRequested, &panel_, [this](bool on) { engine_.displayClear(on); });
    QObject::connect(&panel_, &frmCtl::dispDataRequested, &panel_, [this](int record) { engine_.dispData(record); });
    QObject::connect(&panel_, &frmCtl::optionsRequested, &panel_, [this] { editOptions(); });
    QObject::connect(&panel_, &frmCtl::loaded, &panel_, [this] { tape_.tapeInit(devices_.voice); });
    QObject::connect(&panel_, &frmCtl::tapeButtonPressed, &panel_, [this](frmCtl::TapeButton b) { tapeButton(b); });
    QObject::connect(&dialog_, &frmOption::setPropRequested, &dialog_, [this] { setProp(); });
    QObject::connect(&dialog_, &frmOption::backlightRefreshRequested, &dialog_,
                     [this] { Option4_Click(backlightState()); });
    QObject::connect(&panel_, &frmCtl::backlightSelected, &panel_, [this](int16_t state) { Option4_Click(state); });
    QObject::connect(&panel_, &frmCtl::boardCaptionSet, &board_, &Form1::setCaption);
    QObject::connect(&panel_, &frmCtl::scrollSet, &board_, &Form1::setScroll);
    QObject::connect(&panel_, &frmCtl::boardUseChanged, &board_, &QWidget::setEnabled);
    QObject::connect(&board_, &Form1::cellDialogOpen, &panel_, [this](bool open) { panel_.setEnabled(!open); });
    QObject::connect(&panel_, &frmCtl::exitConfirmed, &panel_, [this] { exit(); });
    QObject::connect(&dialog_, &frmOption::pluginDescribed, &dialog_,
                     [this](const QString& path, int width, int height, bool hasCompanies) {
                         panel_.setPreviewSize(width, height);
                         if (hasCompanies) panel_.addCompanies(path);
                     });
    QObject::connect(&dialog_, &frmOption::companiesCleared, &panel_, &frmCtl::clearCompanies);
    // The scale the operator last chose from the board's menu, kept beside the settings file.
    board_.setScale(loadBoardScale(boardSettingsFile(settingsFile_)));
    QObject::connect(&board_, &Form1::openDataRequested, &board_, [this] { openData(); });
    QObject::connect(&board_, &Form1::recordRequested, &board_, [this](const QString& path) { startRecording(path); });
    QObject::connect(&board_, &Form1::recordStopRequested, &board_, [this] { stopRecording(); });
    QObject::connect(&board_, &Form1::scaleChosen, &board_, [this](int16_t scale) {
        const QString file = boardSettingsFile(settingsFile_);
        if (!saveBoardScale(file, scale))
            msg::info(&board_, QStringLiteral("表示倍率を保存できません：%1").arg(QDir::toNativeSeparators(file)));
    });
}

std::vector<SequenceStep> Ferio::startupSteps() {
    // The options dialog exists from the program's start, so it needs no step to be loaded.
    return {
        {"prepare cells", [this] { board_.prepareCells(); }},
        {"start-up defaults", [this] { dialog_.setStartupDefaults(); }},
        {"built-in pictures", [this] { board_.copyBuiltinPicture(); }},
        {"apply options", [this] { dialog_.SetProp(); }},
        {"show panel", [this] { panel_.show(); }},
        {"panel to the top", [this] { panel_.raise(); }},
        {"board to the top-left", [this] { board_.move(0, 0); }},
        {"panel to the bottom-right", [this] { window::moveToBottomRight(panel_); }},
        {"board shape", [this] { board_.setRoundShape(); }},
        {"repaint board", [this] { board_.update(); }},
        {"load settings", [this] { LoadSettings(); }},
    };
}

void Ferio::start() {
    // The panel stays above the board as long as the program runs, not above other programs.
    window::makeOwnable(panel_);
    // The panel is shown in its step but goes on the screen only once the settings have had
    // their say on its place, so it is never seen moving there. The board goes on the screen
    // first, for the window manager to know it as the window that the panel stays above.
    panel_.setAttribute(Qt::WA_DontShowOnScreen);
    for (const SequenceStep& step : startupSteps()) step.run();
    board_.show();
    window::setOwner(panel_, board_);
    window::showOnScreen(panel_);
}

std::vector<SequenceStep> Ferio::exitSteps() {
    return {
        {"blank stop name", [this] { board_.setChimei(""); }},
        {"board shape", [this] { board_.DeleteRgn(); }},
        {"key shapes", [this] { panel_.releaseKeyShapes(); }},
        {"close sounds", [this] { devices_.sound.closeAllSounds(); }},
        {"release tape", [this] { tape_.tapeRelease(); }},
        {"save settings", [this] { SaveSettings(); }},
    };
}

void Ferio::exit() {
    stopRecording();
    for (const SequenceStep& step : exitSteps()) step.run();
    QCoreApplication::exit(0);
}

void Ferio::startRecording(const QString& path) {
    if (recording_) return;
    // The board's painting at the screen's resolution, and the mix as the device plays it.
    const QSize size = board_.size() * board_.devicePixelRatio();
    const audio::MixSpec sound = audio::mixSpec();
    const recording::VideoFormat format{size.width(), size.height(), LiveFps, sound.rate, sound.channels};
    std::string error;
    auto file = recording::VideoFile::create(QFile::encodeName(path).toStdString(), format, &error);
    if (!file) {
        msg::info(&board_, QString::fromStdString(error));
        return;
    }
    recording_ = std::make_unique<recording::LiveRecording>(
        [this] { return board_.boardImage(); }, std::move(file), *devices_.time,
        [this](const std::string&) {
            // Ended from the event loop: the report comes from inside the recording's own tick.
            QTimer::singleShot(0, &board_, [this] { stopRecording(); });
        });
    board_.setRecording(true);
}

void Ferio::stopRecording() {
    if (!recording_) return;
    const bool finished = recording_->finish();
    const QString error = QString::fromStdString(recording_->error());
    recording_.reset();
    board_.setRecording(false);
    if (!finished) msg::info(&board_, error);
}

void Ferio::Option4_Click(int16_t state) {
    const backlight::Choice choice = backlight::choose(dialog_.options(), state);
    std::optional<ErrorCode> error = choice.error;
    if (choice.builtinPicture) {
        board_.showBuiltinPicture(*choice.builtinPicture);
    } else if (choice.userFile) {
        // No file there (a folder of that name is none): the picture stays, without a message.
        const QString path = QString::fromStdString(*choice.userFile);
        if (const QFileInfo file(path); file.exists() && !file.isDir()) {
            QPixmap picture;
            error = backlight::loadPicture(path, picture);
            if (!error) board_.showPicture(picture);
        }
    }
    if (error)
        msg::show(&panel_,
                  {QStringLiteral("エラー"), backlight::errorText(static_cast<int>(*error)), QMessageBox::Critical});
    board_.setTicketLabelColour(choice.labelColour);
}

int16_t Ferio::backlightState() const {
    const int16_t selected = panel_.selectedBacklight();
    return selected >= 0 ? selected : int16_t{2};
}

void Ferio::setProp() {
    board_.applyDisplayOptions(dialog_.options(), panel_.selectedBacklight());
    Option4_Click(backlightState());
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
    case frmCtl::TapeButton::Stop: tape_.tapeStop(); break;
    case frmCtl::TapeButton::Adjust:
        if (devices_.adjustVoice) devices_.adjustVoice(&panel_);
        break;
    }
}

bool Ferio::resetRoute(const QString& route) {
    const int loaded = engine_.routesLoaded();
    panel_.enterRoute(route);
    engine_.routeSet(fare::EntrySource::Keypad);
    return engine_.routesLoaded() > loaded;
}

OpenDataDialog& Ferio::openData(const QString& feed) {
    // The last feed's folder is kept beside the board's scale: the settings file has no room for it.
    static const QString LastFeed = QStringLiteral("openData/lastFeedFolder");
    if (!openData_) {
        openData_ = new OpenDataDialog(&board_);
        openData_->setAttribute(Qt::WA_DeleteOnClose);
        openData_->setStartFolder(QSettings(boardSettingsFile(settingsFile_), QSettings::IniFormat)
                                      .value(LastFeed, QDir::homePath())
                                      .toString());
        QObject::connect(openData_, &OpenDataDialog::feedOpened, openData_, [this](const QString& path) {
            QSettings(boardSettingsFile(settingsFile_), QSettings::IniFormat)
                .setValue(LastFeed, QFileInfo(path).absolutePath());
        });
        QObject::connect(openData_, &OpenDataDialog::routeAdded, openData_, [this](int number, const QString& folder) {
            if (QFileInfo(QString::fromStdString(options().FareDataDir)) != QFileInfo(folder)) {
                OptionInfo o = dialog_.GetOptionInfo();
                o.FareDataDir = o.TapeDataDir = folder.toStdString();
                dialog_.SetOptionInfo(o);
            }
            resetRoute(QString::number(number));
        });
    }
    const OptionInfo& o = options();
    openData_->setDestination(
        opendataui::routeFolder(QString::fromStdString(o.FareDataDir)),
        {QString::fromStdString(engine_.fareFolder()), QString::fromStdString(engine_.tapeFolder())});
    openData_->show();
    openData_->raise();
    openData_->activateWindow();
    if (!feed.isEmpty()) openData_->openFeed(feed);
    return *openData_;
}

bool Ferio::announcing() const { return tape_.count() > 0 && panel_.speechAvailable(); }

bool Ferio::announcementAhead() const { return tape_.position() < tape_.count(); }

bool Ferio::stopAhead() const {
    const fare::RouteState& state = engine_.state();
    return state.CurrentStop + 1 < state.StopCount;
}

void Ferio::LoadSettings() {
    const settings::Loaded loaded = settings::loadFile(settingsFile_);
    if (std::holds_alternative<settings::Missing>(loaded)) return; // a first start keeps the defaults
    if (const auto* error = std::get_if<CodedError>(&loaded)) {
        refuseSettings(*error);
        return;
    }
    const SettingsRecord& record = std::get<SettingsRecord>(loaded);
    board_.restoreCells(record.Cells, record.Options);
    dialog_.customColors() = record.CustomColors;
    dialog_.SetOptionInfo(record.Options);
    if (!panel_.SetCtrlDataInfo(record.Ctrl)) {
        refuseSettings(codedError(ErrorCode::InvalidValue));
        return;
    }
    board_.SetFormInfo(record.Form);
    dialog_.SetProp();
}

// The program goes on with defaults, which the exit will save: the refused file is kept first.
void Ferio::refuseSettings(const CodedError& error) {
    const QString kept = settings::keepDamaged(settingsFile_);
    keepSettingsFile_ = kept.isEmpty();
    msg::info(
        &panel_,
        settings::errorMessage(error) + QStringLiteral("\r\n\r\n") +
            (kept.isEmpty()
                 ? QStringLiteral("読めなかった設定ファイルを控えに残せないため、終了時に設定を保存しません。")
                 : QStringLiteral("読めなかった設定ファイルは %1 に残しました。").arg(QDir::toNativeSeparators(kept))));
}

void Ferio::SaveSettings() {
    if (keepSettingsFile_) return;
    SettingsRecord record;
    record.Cells = board_.cellSettings();
    record.Options = dialog_.GetOptionInfo();
    record.Ctrl = panel_.GetCtrlDataInfo();
    record.Form = board_.GetFormInfo();
    record.CustomColors = dialog_.customColors();
    if (const auto error = settings::saveFile(settingsFile_, record))
        msg::info(&panel_, settings::errorMessage(*error));
}
