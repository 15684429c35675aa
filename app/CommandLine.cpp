#include "app/CommandLine.h"

#include "board/Form1.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// An option, and how its value goes into the command line: the message when it is refused.
// `take` runs only for an option that was given; none: another option's `take` reads it.
struct Option {
    QCommandLineOption option;
    std::function<std::optional<QString>(const QString& value, const QCommandLineParser& given, CommandLine& into)>
        take;
};

std::vector<Option> options() {
    return {
        {{QStringLiteral("settings"),
          QStringLiteral("設定ファイル FILE を読み書きする（既定はプログラムと同じフォルダーの <プログラム名>.in4）"),
          QStringLiteral("FILE")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.settingsFile = value;
             return {};
         }},
        {{QStringLiteral("reading"), QStringLiteral("TEXT を読み上げるときのカタカナの読みを表示して終了する"),
          QStringLiteral("TEXT")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.reading = value;
             return {};
         }},
        {{QStringLiteral("say"), QStringLiteral("TEXT を読み上げて終了する"), QStringLiteral("TEXT")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.say = value;
             return {};
         }},
        {{QStringLiteral("readings"),
          QStringLiteral("--reading と --say で使う読み辞書（既定は設定の放送データフォルダーの readings.tsv）"),
          QStringLiteral("FILE")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.readingsFile = value;
             return {};
         }},
        {{QStringLiteral("ride"),
          QStringLiteral("系統 ROUTE をリセットで設定し、放送の「送り」（放送データがなければ「データ送り」）を"
                         "時刻表の時刻に（時刻のない系統では一定の間隔で）押し続け、終点でまたリセットする"),
          QStringLiteral("ROUTE")},
         [](const QString& value, const QCommandLineParser& given, CommandLine& into) -> std::optional<QString> {
             bool ok = false;
             const double seconds = given.value(QStringLiteral("interval")).toDouble(&ok);
             if (!QRegularExpression(QStringLiteral("^[0-9]{1,5}$")).match(value).hasMatch() || !ok || seconds <= 0 ||
                 seconds > 86400)
                 return QStringLiteral(
                     "--ride takes a route of 1 to 5 digits, --interval a number of seconds above 0\n");
             into.rideRoute = value;
             into.rideInterval = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
             return {};
         }},
        {{QStringLiteral("interval"),
          QStringLiteral("--ride で押す間隔（秒、既定は 8）。時刻のある系統では終点で待つ時間"),
          QStringLiteral("SECONDS"), QStringLiteral("8")},
         {}},
        {{QStringLiteral("open-data"),
          QStringLiteral("起動後、オープンデータのフィード FEED（.zip またはフォルダー）から系統を追加する画面を開く"),
          QStringLiteral("FEED")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.openDataFeed = QFileInfo(value).absoluteFilePath();
             return {};
         }},
        {{QStringLiteral("speed"),
          QStringLiteral("時刻のある系統（<系統>times.csv）の --ride を X 倍の速さで進める"
                         "（既定は 1 で実時間、60 で時刻表の 1 分が 1 秒）"),
          QStringLiteral("X"), QStringLiteral("1")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             bool ok = false;
             into.rideSpeed = value.toDouble(&ok);
             if (!ok || !(into.rideSpeed >= 0.1 && into.rideSpeed <= 86400))
                 return QStringLiteral("--speed takes a number from 0.1 to 86400: %1\n").arg(value);
             return {};
         }},
        {{QStringLiteral("scale"),
          QStringLiteral("運賃表示器を N 倍（1～4）の大きさで表示する（右クリックのメニューでも選べる）"),
          QStringLiteral("N")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.scale = value.toInt();
             if (into.scale < 1 || into.scale > Form1::MaxScale)
                 return QStringLiteral("--scale: 1 から %1 までの数です: %2\n").arg(int{Form1::MaxScale}).arg(value);
             return {};
         }},
        {{QStringLiteral("record"),
          QStringLiteral("表示せずに --ride の運転を動画 FILE（.mp4 または .mkv）に実時間より速く録画する。"
                         "--duration か --until-end で長さを決める"),
          QStringLiteral("FILE")},
         [](const QString& value, const QCommandLineParser& given, CommandLine& into) -> std::optional<QString> {
             const bool duration = given.isSet(QStringLiteral("duration"));
             if (!given.isSet(QStringLiteral("ride")) || duration == given.isSet(QStringLiteral("until-end")))
                 return QStringLiteral("--record takes --ride ROUTE and either --duration SECONDS or --until-end\n");
             if (duration) {
                 bool ok = false;
                 const double seconds = given.value(QStringLiteral("duration")).toDouble(&ok);
                 if (!ok || !(seconds > 0 && seconds <= 86400))
                     return QStringLiteral("--duration takes a number of seconds above 0, up to 86400\n");
                 into.recordDuration = std::chrono::milliseconds(std::llround(seconds * 1000));
             }
             into.recordFile = QFileInfo(value).absoluteFilePath();
             return {};
         }},
        {{QStringLiteral("duration"), QStringLiteral("--record で録画する長さ（秒）"), QStringLiteral("SECONDS")}, {}},
        {{QStringLiteral("until-end"), QStringLiteral("--record で終点の放送が終わるまで録画する")}, {}},
        {{QStringLiteral("fps"), QStringLiteral("--record の毎秒のコマ数（30 または 60、既定は 30）"),
          QStringLiteral("N"), QStringLiteral("30")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             into.fps = value.toInt();
             if (into.fps != 30 && into.fps != 60) return QStringLiteral("--fps takes 30 or 60: %1\n").arg(value);
             return {};
         }},
        {{QStringLiteral("clock"),
          QStringLiteral("--record で運賃表示器の時計を hh:mm[:ss] から始める（既定は録画を始めた時刻）"),
          QStringLiteral("TIME")},
         [](const QString& value, const QCommandLineParser&, CommandLine& into) -> std::optional<QString> {
             QTime time = QTime::fromString(value, QStringLiteral("H:mm:ss"));
             if (!time.isValid()) time = QTime::fromString(value, QStringLiteral("H:mm"));
             if (!time.isValid())
                 return QStringLiteral("--clock takes a time of day as hh:mm or hh:mm:ss: %1\n").arg(value);
             into.recordClock = time.msecsSinceStartOfDay() / 1000;
             return {};
         }},
    };
}

CommandLine answer(int status, const QString& text) {
    CommandLine line;
    line.exitStatus = status;
    line.answer = text;
    return line;
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("路線バスの運賃表示器と集中操作盤"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const std::vector<Option> table = options();
    for (const Option& o : table) parser.addOption(o.option);
    if (!parser.parse(arguments)) return answer(2, parser.errorText() + u'\n');
    if (parser.isSet(version))
        return answer(
            0, QStringLiteral("%1 %2\nLicense %3: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>\n"
                              "This is free software: you are free to change and redistribute it.\n"
                              "There is NO WARRANTY, to the extent permitted by law.\n")
                   .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
                        QStringLiteral(FERIO_LICENSE)));
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        const QString name = QFileInfo(arguments.value(0)).fileName();
        return answer(0, parser.helpText().replace(QStringLiteral("<executable_name>"), name));
    }
    CommandLine line;
    for (const Option& o : table) {
        if (!o.take || !parser.isSet(o.option)) continue;
        if (const auto refused = o.take(parser.value(o.option), parser, line)) return answer(2, *refused);
    }
    return line;
}
