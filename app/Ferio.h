#pragma once
// The program: the options dialog (which holds the options), the board, the control panel and
// the fare engine, wired together, with the start-up and the exit run here in their order. This
// is the one place that knows them all; each of them knows only what it is handed here.
#include "app/Ride.h"
#include "board/Form1.h"
#include "fare/FareEngine.h"
#include "opendataui/OpenDataDialog.h"
#include "options/frmOption.h"
#include "panel/frmCtl.h"
#include "recording/LiveRecording.h"
#include "reslib/CodedError.h"
#include "sound/mdlM_Tape.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

// What the program is given from outside: the sound channels, the event loop, the clock, the
// voice with its adjustment dialog (none when speech synthesis cannot be used), and the time the
// board runs on.
struct FerioDevices {
    fare::Sound& sound;
    fare::EventLoop& events;
    fare::Clock& clock;
    Speaker* voice = nullptr;
    std::function<void(QWidget* owner)> adjustVoice;
    timing::Source* time = &timing::systemTime();
};

// One step of the start-up or of the exit, named as the sequence names it.
struct SequenceStep {
    const char* name;
    std::function<void()> run;
};

class Ferio : private TapeView, public RideControls {
public:
    // settingsFile: where the settings are read at start-up and written at exit.
    Ferio(const FerioDevices& devices, const QString& settingsFile);

    // The start-up: the board prepared, the options applied, the panel shown, both windows
    // placed, the board shaped, then the settings file; at the end the board goes on the screen,
    // and the panel over it in its final place.
    std::vector<SequenceStep> startupSteps();
    void start();
    // The exit, after the operator said yes: the displays and shapes let go, the sounds and the
    // voice released, the settings written, then the process ends at once.
    std::vector<SequenceStep> exitSteps();
    void exit();

    // Applies backlight state 0 OFF, 1 ON1, 2 ON2: the board's picture and its ticket-number
    // colour, with the options of that moment.
    void Option4_Click(int16_t state);

    // RideControls: the panel's reset, "送り" and "データ送り" as a ride presses them.
    bool resetRoute(const QString& route) override;
    bool announcing() const override;
    bool announcementAhead() const override;
    bool stopAhead() const override;
    void nextAnnouncement() override { tapeButton(frmCtl::TapeButton::Next); }
    void nextStop() override { engine_.step(fare::StepDirection::Forward); }
    bool announcementSteps() const override { return tape_.stepFlag(tape_.position() + 1) == 1; }
    int stopCount() const override { return engine_.state().StopCount; }
    std::string timesFile() const override { return engine_.timesFile(); }
    // The installed samples, read when the options name no data folder and the current folder
    // holds no route.
    void setSampleFolder(const std::string& folder) { engine_.setSampleFolder(folder); }
    // The dialog that adds a route from open data, reading `feed` at once when one is given.
    // Its route, once written, is set as keying it and "リセット" do; a folder of the user's
    // own that it made becomes the fare-data and broadcast-data folder.
    OpenDataDialog& openData(const QString& feed = {});

    const OptionInfo& options() const { return dialog_.options(); }
    frmOption& dialog() { return dialog_; }
    Form1& board() { return board_; }
    frmCtl& panel() { return panel_; }
    const fare::FareEngine& engine() const { return engine_; }
    fare::FareEngine& engine() { return engine_; }
    const BroadcastTape& tape() const { return tape_; }

    // The board recorded into a video file as it runs, from its menu; a failure says why.
    void startRecording(const QString& path);
    void stopRecording();
    bool recording() const { return recording_ != nullptr; }

    // The settings file: read and applied to every window, and gathered from them and written.
    void LoadSettings();
    void refuseSettings(const CodedError& error);
    void SaveSettings();

private:
    // Applying the options to the board, then the current backlight state again.
    void setProp();
    // The backlight state the panel has selected, as applying options uses it (none: 2).
    int16_t backlightState() const;
    // "設定...": the options dialog, modal, with the board and the panel out of use meanwhile.
    void editOptions();
    // The broadcast group's four buttons; "送り" and "戻し" step the fares when the entry says so.
    void tapeButton(frmCtl::TapeButton button);
    // TapeView: the panel's broadcast group.
    void setSpeechAvailable(bool available) override { panel_.setSpeechAvailable(available); }
    void enableTapeButtons() override { panel_.enableTapeButtons(); }
    void disableTapeGroup() override { panel_.disableTapeGroup(); }
    void showUpcoming(const std::string& next, const std::string& back) override {
        panel_.showUpcomingAnnouncements(QString::fromStdString(next), QString::fromStdString(back));
    }

    FerioDevices devices_;
    QString settingsFile_;
    bool keepSettingsFile_ = false; // a refused file that could not be copied is never replaced
    frmOption dialog_;
    Form1 board_;
    frmCtl panel_;
    BroadcastTape tape_;
    fare::FareEngine engine_;
    QPointer<OpenDataDialog> openData_;
    // Last, so that it ends before the board it grabs.
    std::unique_ptr<recording::LiveRecording> recording_;
};
