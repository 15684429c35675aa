#include "Ferio.h"

#include "OptionTable.h"

Ferio::Ferio(const fare::Services& services)
    : services_(services),
      board_(),
      panel_(board_, options_, services.sound),
      engine_(options_, board_, panel_, services) {
    QObject::connect(&panel_, &frmCtl::routeSetRequested, &panel_,
                     [this](fare::EntrySource source) { engine_.routeSet(source); });
    QObject::connect(&panel_, &frmCtl::stepRequested, &panel_,
                     [this](fare::StepDirection direction) { engine_.step(direction); });
    QObject::connect(&panel_, &frmCtl::displayClearRequested, &panel_,
                     [this](bool on) { engine_.displayClear(on); });
    QObject::connect(&panel_, &frmCtl::dispDataRequested, &panel_, [this](int record) { engine_.dispData(record); });
    panel_.setExitHooks({[this] { services_.sound.closeAllSounds(); },
                         [this] { services_.broadcast.tapeRelease(); },
                         {}});
}

void Ferio::start() {
    const auto defaults = [this] {
        for (int field = 3; field <= 6; ++field) resetOption(options_, field);
    };
    board_.Form_Load(panel_, {defaults, [this] { setProp(); }, {}});
    board_.show();
}

void Ferio::setProp() {
    const int16_t backlight = panel_.selectedBacklight();
    board_.applyDisplayOptions(options_, backlight);
    panel_.Option4_Click(backlight >= 0 ? backlight : int16_t{2});
}
