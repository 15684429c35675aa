#include "Ferio.h"

Ferio::Ferio(const fare::Services& services)
    : services_(services),
      board_(options_),
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
    board_.Form_Load(panel_, {[this] { setProp(); }, {}});
    board_.show();
}

void Ferio::setProp() {
    board_.SeirikenNumSet(options_.SeiriNumStyle, options_.SeiriNumZeroPad);
    panel_.Option4_Click(0);
}
