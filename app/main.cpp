// Ferio: the fare board and its control panel. The board's start-up opens everything else.
#include "Ferio.h"
#include "Services.h"
#include "mdlIniIo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FerioVer4"));
    QApplication::setApplicationVersion(QStringLiteral(FERIO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false); // the program ends from the panel's exit only

    // The program speaks Japanese whatever the desktop's language, Qt's own dialogs included.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("路線バスの運賃表示器と集中操作盤"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("設定ファイル FILE を読み書きする（既定はプログラムと同じフォルダーの <プログラム名>.in4）"),
        QStringLiteral("FILE"));
    parser.addOption(settingsOption);
    parser.process(app);

    SilentSound sound;
    NoBroadcast broadcast;
    QtEventLoop events;
    SystemClock clock;
    Ferio ferio({sound, broadcast, events, clock},
                settings::filePath(parser.value(settingsOption), QCoreApplication::applicationFilePath()));
    ferio.start();
    return app.exec();
}
