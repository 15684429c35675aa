#pragma once
// The program: the options dialog (which holds the options), the board, the control panel and
// the fare engine, wired together, with the settings file read at start-up and written at exit.
// This is the one place that knows them all; each of them knows only what it is handed here.
#include "board/Form1.h"
#include "fare/FareEngine.h"
#include "options/frmOption.h"
#include "panel/frmCtl.h"
#include "sound/mdlM_Tape.h"

#include <QString>
#include <functional>

// What the program is given from outside: the sound channels, the event loop, the clock, and
// the voice with its adjustment dialog (none when speech synthesis cannot be used).
struct FerioServices {
    fare::Sound& sound;
    fare::EventLoop& events;
    fare::Clock& clock;
    Speaker* voice = nullptr;
    std::function<void(QWidget* owner)> adjustVoice;
};

class Ferio : private TapeView {
public:
    // settingsFile: where the settings are read at start-up and written at exit.
    Ferio(const FerioServices& services, const QString& settingsFile);

    // The board's start-up, which opens everything else.
    void start();

    const OptionInfo& options() const { return dialog_.options(); }
    frmOption& dialog() { return dialog_; }
    Form1& board() { return board_; }
    frmCtl& panel() { return panel_; }
    const fare::FareEngine& engine() const { return engine_; }
    const BroadcastTape& tape() const { return tape_; }

    // The settings file: read and applied to every window, and gathered from them and written.
    void LoadSettings();
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

    FerioServices services_;
    QString settingsFile_;
    frmOption dialog_;
    Form1 board_;
    frmCtl panel_;
    BroadcastTape tape_;
    fare::FareEngine engine_;
};
