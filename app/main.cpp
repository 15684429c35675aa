// Ferio: the fare board and its control panel. The board's start-up opens everything else.
#include "app/CommandLine.h"
#include "app/DesktopDevices.h"
#include "app/Ferio.h"
#include "app/Platform.h"
#include "app/ProgramIcon.h"
#include "app/RideRecording.h"
#include "app/SettingsLock.h"
#include "app/VoiceCommands.h"
#include "board/BoardGeometry.h"
#include "panel/PanelInfo.h"
#include "settings/DemoSettings.h"
#include "settings/mdlIniIo.h"
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"
#include "sound/MixerCommands.h"
#include "sound/VoiceDialog.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QTranslator>
#include <cstdio>
#include <optional>

namespace {

// The samples installed with the program, or none when it runs from where it was built.
std::string installedSamples() {
    const QDir samples(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(FERIO_SAMPLES_FROM_BIN)));
    return samples.exists() ? samples.absolutePath().toStdString() : std::string();
}

// The settings file that --settings names, else this program's own; an installed program is
// also one whose samples are installed beside it (a prefix of the user's own).
QString settingsPath(const CommandLine& line) {
    const QString program = QCoreApplication::applicationFilePath();
    return settings::filePath(line.settingsFile, program, !installedSamples().empty() || settings::installed(program));
}

} // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("FerioVer4"));
    QApplication::setApplicationVersion(QStringLiteral(FERIO_VERSION));

    // The command line is read before any window system is needed, so that --help, --version,
    // --reading and --say answer on a terminal without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = readCommandLine(arguments);
    if (line.exitStatus) {
        std::fputs(qPrintable(line.answer), *line.exitStatus == 0 ? stdout : stderr);
        return *line.exitStatus;
    }

    // These only read the settings, so they need no lock and run beside a running program.
    if (line.reading || line.say) {
        const QCoreApplication core(argc, argv); // the program's path, which places the settings file
        const QString file = settingsPath(line);
        const std::string readings = line.readingsFile.isEmpty() ? broadcastReadingsFile(file, installedSamples())
                                                                 : line.readingsFile.toStdString();
        if (line.reading) return printReading(*line.reading, readings);
        return sayAloud(*line.say, readings, voiceSettingsFile(file));
    }

    // A recording shows nothing, so it needs no display.
    const bool recording = !line.recordFile.isEmpty();
    const Platform platform = recording ? Platform{true, QStringLiteral("offscreen")}
                                        : choosePlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.graphical) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage);
        return NoDisplayStatus;
    }
    if (!platform.name.isEmpty()) qputenv("QT_QPA_PLATFORM", platform.name.toLatin1());
    std::optional<WindowSystemOpening> opening(std::in_place);
    QApplication app(argc, argv);
    opening.reset();
    QApplication::setWindowIcon(programIcon()); // every window and dialog inherits it
    QApplication::setDesktopFileName(QStringLiteral(FERIO_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false); // the program ends from the panel's exit only
    // The program speaks Japanese whatever the desktop's language, Qt's own dialogs included.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    const QString settingsFile = settingsPath(line);
    const std::string samples = installedSamples();
    // A recording only reads the settings, so it takes no lock and runs beside the program.
    SettingsLock lock(settingsFile);
    if (!recording) {
        if (!lock.take()) return lock.refuse();
        // An installed program's first start shows the demonstration; a file named by --settings
        // starts from the defaults, as a new installation does.
        if (line.settingsFile.isEmpty() && !samples.empty())
            if (const auto error = settings::writeDemoSettings(settingsFile, QString::fromStdString(samples)))
                std::fprintf(stderr, "%s: %s\n", qPrintable(panel::modelName()),
                             qPrintable(settings::errorMessage(*error)));
    }
    if (!audio::open(recording ? audio::Output::Pulled : audio::Output::Device))
        std::fprintf(stderr, "%s: no sound device could be opened: sound is off\n", qPrintable(panel::modelName()));
    // The device closes after everything that plays and before the program's statics go, since
    // its audio thread reads them.
    const auto closeAudio = qScopeGuard(audio::close);
    const int recordScale = std::max(line.scale, 1);
    std::unique_ptr<RideRecording> record;
    if (recording && !(record = RideRecording::open(line, board::ClientSize * recordScale))) return 1;
    timing::Source& time = record ? static_cast<timing::Source&>(record->time()) : timing::systemTime();
    fare::Clock& clock = record ? static_cast<fare::Clock&>(record->time()) : fare::systemClock();
    MixerCommands mixer(time);
    SoundChannels sound(mixer, panel::modelName().toStdString(), time);
    QtEventLoop events;
    // The voice keeps its own settings beside the settings file; without MeCab or espeak-ng's
    // Japanese voice there is none, and the broadcast group says so.
    const QString voiceFile = voiceSettingsFile(settingsFile);
    const std::unique_ptr<JapaneseSpeech> voice = JapaneseSpeech::create(loadVoiceSettings(voiceFile));
    FerioDevices devices{sound, events, clock, voice.get(), {}, &time};
    if (voice)
        devices.adjustVoice = [&](QWidget* owner) {
            showVoiceDialog(owner, QStringLiteral("音声の調節"), *voice, voiceFile);
        };
    Ferio ferio(devices, settingsFile);
    ferio.setSampleFolder(samples);
    if (line.scale > 0 || record) // this run only; the menu's choice is kept
        ferio.board().setScale(static_cast<int16_t>(record ? recordScale : line.scale));
    ferio.start();
    if (record) return record->record(ferio);
    if (!line.openDataFeed.isEmpty()) ferio.openData(line.openDataFeed);
    SourceTimer rideTimer(time);
    std::optional<Ride> ride;
    if (!line.rideRoute.isEmpty())
        ride.emplace(ferio, rideTimer, line.rideRoute, line.rideInterval, line.rideSpeed).start();
    return app.exec();
}
