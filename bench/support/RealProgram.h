#pragma once
// The program wired as main() wires it, for benchmarks that drive it whole: the program's own
// sound channels on SDL's device (dummy unless chosen), its voice where it can be made, messages
// on standard error instead of boxes, no lamp-test wait, started with no settings file.
#include "app/DesktopDevices.h"
#include "app/Ferio.h"
#include "reslib/ui/Messages.h"
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"
#include "sound/MixerCommands.h"
#include "sound/mdlSndAPI.h"

#include "Memory.h"

#include <QApplication>

#include <cstdio>
#include <memory>

struct RealProgram {
    MixerCommands mixer;
    SoundChannels sound{mixer, "FerioVer4"};
    QtEventLoop events;
    fare::Clock& clock = fare::systemClock();
    std::unique_ptr<JapaneseSpeech> voice;
    std::unique_ptr<Ferio> ferio;

    explicit RealProgram(const QString& settingsFile) {
        msg::setHandler([](const msg::Request& r) {
            std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
            return QMessageBox::Ok;
        });
        audio::open();
        voice = JapaneseSpeech::create(VoiceSettings{});
        ferio = std::make_unique<Ferio>(FerioDevices{sound, events, clock, voice.get(), {}}, settingsFile);
        ferio->board().setLampTestMs(0);
        ferio->start();
    }
};

// Before the QApplication: the offscreen platform and the silent sound device, unless chosen.
inline void quietDesktop() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
}
