#include "settings/DemoSettings.h"

#include "settings/mdlIniIo.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace settings {

SettingsRecord demoSettings(const QString& samplesFolder) {
    const QDir samples(QFileInfo(samplesFolder).absoluteFilePath());
    const auto sample = [&](const char* name) { return samples.filePath(QString::fromLatin1(name)).toStdString(); };
    SettingsRecord r;
    OptionInfo& o = r.Options;
    o.FareDataDir = o.TapeDataDir = samples.path().toStdString();
    o.SoundKeitoSet = sample("chime1.wav");
    o.SoundReset = sample("click.wav");
    // The sample route chooses its stop chime in column 120: each format once.
    o.StepSoundAlways = 0;
    o.StepSoundByColumn = -1;
    o.StepSoundColumn = 119;
    o.StepSoundFile1 = sample("chime1.wav");
    o.StepSoundFile2 = sample("chime2.mp3");
    o.StepSoundFile3 = sample("chime3.mid");
    o.PreTapeSoundAlways = 0;
    o.PreTapeSoundByFlag = -1;
    o.PreTapeSoundFile1 = sample("chime1.wav");
    o.PreTapeSoundFile2 = sample("chime2.mp3");
    o.PreTapeSoundFile3 = sample("chime3.mid");
    o.UseSeiriPrev = 1;
    o.SeiriPlgPath = sample("barcode.4SP");
    // A real LED board's face: black cells with dim unlit segments, bright amber fares and stop
    // names, green ticket numbers. Colours are 0x00BBGGRR; the clock follows the fares.
    o.FareDegitBackColor = o.SeiriDegitBackColor = o.ChimeiBackColor = 0x000000;
    o.FareDegitForeColor = o.ChimeiForeColor = 0x0000B0FF; // amber, R255 G176 B0
    o.FareDegitBaseForeColor = 0x00001828;                 // unlit amber, R40 G24 B0
    o.SeiriDegitForeColor = 0x0030FF30;                    // green, R48 G255 B48
    o.SeiriDegitBaseForeColor = 0x000A280A;                // unlit green, R10 G40 B10
    o.FixedDate = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")).toStdString();
    r.Ctrl.ScrollSpeed = 40;
    r.Ctrl.ScrollInterval = 1000;
    // Far beyond any screen: the program keeps its windows on the screen, so the panel ends in
    // the bottom-right corner whatever the screen's size.
    r.Ctrl.PanelLeft = r.Ctrl.PanelTop = 1'000'000;
    return r;
}

std::optional<CodedError> writeDemoSettings(const QString& file, const QString& samplesFolder) {
    if (QFileInfo::exists(file)) return {};
    return saveFile(file, demoSettings(samplesFolder));
}

} // namespace settings
