#pragma once
// The program: the options, the board, the control panel and the fare engine, wired together.
// This is the one place that knows them all; each of them knows only what it is handed here.
#include "FareEngine.h"
#include "Form1.h"
#include "OptionInfo.h"
#include "frmCtl.h"

class Ferio {
public:
    explicit Ferio(const fare::Services& services);

    // The board's start-up, which opens everything else.
    void start();

    OptionInfo& options() { return options_; }
    Form1& board() { return board_; }
    frmCtl& panel() { return panel_; }
    const fare::FareEngine& engine() const { return engine_; }

private:
    // Applying the options to the board, then the current backlight state again.
    void setProp();

    fare::Services services_;
    OptionInfo options_;
    Form1 board_;
    frmCtl panel_;
    fare::FareEngine engine_;
};
