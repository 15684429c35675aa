// Ferio: the fare board and its control panel. The board's start-up opens everything else.
#include "app/Ferio.h"
#include "app/DesktopDevices.h"
#include "app/VoiceCommands.h"
#include "panel/PanelInfo.h"
#include "settings/mdlIniIo.h"
#include "sound/AudioDevice.h"
#include "sound/JapaneseSpeech.h"
#include "sound/MixerCommands.h"
#include "sound/VoiceDialog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QTranslator>
#include <cstdio>

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

    if (parser.isSet(readingOption) || parser.isSet(sayOption)) {
        const QCoreApplication core(argc, argv); // the program's path, which places the settings file
        const QString settingsFile =
            settings::filePath(parser.value(settingsOption), QCoreApplication::applicationFilePath());
        const std::string readings = parser.isSet(readingsOption) ? parser.value(readingsOption).toStdString()
                                                                  : broadcastReadingsFile(settingsFile);
        if (parser.isSet(readingOption)) return printReading(parser.value(readingOption), readings);
        return sayAloud(parser.value(sayOption), readings, voiceSettingsFile(settingsFile));
    }

    QApplication app(argc, argv);
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
    ferio.start();
    return app.exec();
}
