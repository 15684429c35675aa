// Ferio: the fare board and its control panel. The board's start-up opens everything else.
#include "app/Ferio.h"
#include "app/DesktopDevices.h"
#include "app/Platform.h"
#include "app/VoiceCommands.h"
#include "panel/PanelInfo.h"
#include "settings/mdlIniIo.h"
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"
#include "sound/MixerCommands.h"
#include "sound/VoiceDialog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
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

} // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("FerioVer4"));
    QApplication::setApplicationVersion(QStringLiteral(FERIO_VERSION));

    // The command line is read before any window system is needed, so that --help, --version,
    // --reading and --say answer on a terminal without a display.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("路線バスの運賃表示器と集中操作盤"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("設定ファイル FILE を読み書きする（既定はプログラムと同じフォルダーの <プログラム名>.in4）"),
        QStringLiteral("FILE"));
    parser.addOption(settingsOption);
    const QCommandLineOption readingOption(
        QStringLiteral("reading"), QStringLiteral("TEXT を読み上げるときのカタカナの読みを表示して終了する"),
        QStringLiteral("TEXT"));
    const QCommandLineOption sayOption(QStringLiteral("say"), QStringLiteral("TEXT を読み上げて終了する"),
                                       QStringLiteral("TEXT"));
    const QCommandLineOption readingsOption(
        QStringLiteral("readings"),
        QStringLiteral("--reading と --say で使う読み辞書（既定は設定の放送データフォルダーの readings.tsv）"),
        QStringLiteral("FILE"));
    parser.addOptions({readingOption, sayOption, readingsOption});
    const QCommandLineOption rideOption(
        QStringLiteral("ride"),
        QStringLiteral("系統 ROUTE をリセットで設定し、放送の「送り」（放送データがなければ「データ送り」）を一定の間隔で押し続け、終点でまたリセットする"),
        QStringLiteral("ROUTE"));
    const QCommandLineOption intervalOption(QStringLiteral("interval"),
                                            QStringLiteral("--ride で押す間隔（秒、既定は 8）"), QStringLiteral("SECONDS"),
                                            QStringLiteral("8"));
    parser.addOptions({rideOption, intervalOption});
    const QCommandLineOption scaleOption(
        QStringLiteral("scale"), QStringLiteral("運賃表示器を N 倍（1～4）の大きさで表示する（右クリックのメニューでも選べる）"),
        QStringLiteral("N"));
    parser.addOption(scaleOption);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QApplication::applicationName()), FERIO_VERSION);
        return 0;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        const QString name = QFileInfo(arguments.first()).fileName();
        std::printf("%s", qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"), name)));
        return 0;
    }

    const QString rideRoute = parser.value(rideOption);
    bool intervalOk = false;
    const double interval = parser.value(intervalOption).toDouble(&intervalOk);
    if (parser.isSet(rideOption) && (!QRegularExpression(QStringLiteral("^[0-9]{1,5}$")).match(rideRoute).hasMatch() ||
                                     !intervalOk || interval <= 0 || interval > 86400)) {
        std::fprintf(stderr, "--ride takes a route of 1 to 5 digits, --interval a number of seconds above 0\n");
        return 2;
    }

    if (parser.isSet(readingOption) || parser.isSet(sayOption)) {
        const QCoreApplication core(argc, argv); // the program's path, which places the settings file
        const QString settingsFile =
            settings::filePath(parser.value(settingsOption), QCoreApplication::applicationFilePath());
        const std::string readings = parser.isSet(readingsOption) ? parser.value(readingsOption).toStdString()
                                                                  : broadcastReadingsFile(settingsFile, installedSamples());
        if (parser.isSet(readingOption)) return printReading(parser.value(readingOption), readings);
        return sayAloud(parser.value(sayOption), readings, voiceSettingsFile(settingsFile));
    }

    int scale = 0; // none given: the scale last chosen from the board's menu
    if (parser.isSet(scaleOption)) {
        scale = parser.value(scaleOption).toInt();
        if (scale < 1 || scale > Form1::MaxScale) {
            std::fprintf(stderr, "--scale: 1 から %d までの数です: %s\n", int{Form1::MaxScale}, qPrintable(parser.value(scaleOption)));
            return 2;
        }
    }
    const Platform platform = choosePlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.graphical) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage);
        return NoDisplayStatus;
    }
    if (!platform.name.isEmpty()) qputenv("QT_QPA_PLATFORM", platform.name.toLatin1());
    std::optional<WindowSystemOpening> opening(std::in_place);
    QApplication app(argc, argv);
    opening.reset();
    QApplication::setDesktopFileName(QStringLiteral(FERIO_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false); // the program ends from the panel's exit only
    // The program speaks Japanese whatever the desktop's language, Qt's own dialogs included.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    const QString settingsFile = settings::filePath(parser.value(settingsOption), QCoreApplication::applicationFilePath());
    if (!audio::open())
        std::fprintf(stderr, "%s: no sound device could be opened: sound is off\n", qPrintable(panel::modelName()));
    // The device closes after everything that plays and before the program's statics go, since
    // its audio thread reads them.
    const auto closeAudio = qScopeGuard(audio::close);
    MixerCommands mixer;
    SoundChannels sound(mixer, panel::modelName().toStdString());
    QtEventLoop events;
    SystemClock clock;
    // The voice keeps its own settings beside the settings file; without MeCab or espeak-ng's
    // Japanese voice there is none, and the broadcast group says so.
    const QString voiceFile = voiceSettingsFile(settingsFile);
    const std::unique_ptr<JapaneseSpeech> voice = JapaneseSpeech::create(loadVoiceSettings(voiceFile));
    FerioDevices devices{sound, events, clock, voice.get(), {}};
    if (voice)
        devices.adjustVoice = [&](QWidget* owner) { showVoiceDialog(owner, QStringLiteral("音声の調節"), *voice, voiceFile); };
    Ferio ferio(devices, settingsFile);
    ferio.setSampleFolder(installedSamples());
    if (scale > 0) ferio.board().setScale(static_cast<int16_t>(scale)); // this run only; the menu's choice is kept
    ferio.start();
    if (parser.isSet(rideOption)) ferio.ride(rideRoute, std::chrono::milliseconds(static_cast<long long>(interval * 1000)));
    return app.exec();
}
