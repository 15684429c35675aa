// The command line read without an application object: the terminal's answers with their exit
// statuses, and what a start takes from each option.
#include "app/CommandLine.h"
#include <QDir>

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

CommandLine read(const QString& line) {
    return readCommandLine(QStringList{QStringLiteral("/usr/bin/ferio")} + line.split(u' ', Qt::SkipEmptyParts));
}

} // namespace

TEST(CommandLine, AnswersOnTheTerminalWithTheirStatus) {
    QCoreApplication::setApplicationName(QStringLiteral("FerioVer4"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.0.0"));
    const QString rideRefused =
        QStringLiteral("--ride takes a route of 1 to 5 digits, --interval a number of seconds above 0\n");
    const QString recordRefused =
        QStringLiteral("--record takes --ride ROUTE and either --duration SECONDS or --until-end\n");
    const struct {
        const char* line;
        int status;
        QString answer; // the whole answer, or its beginning
        bool whole = true;
    } rows[] = {
        {"--version", 0,
         u"FerioVer4 4.0.0\nLicense GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>\n"
         u"This is free software: you are free to change and redistribute it.\n"
         u"There is NO WARRANTY, to the extent permitted by law.\n"_s},
        {"-v", 0, u"FerioVer4 4.0.0\n"_s, false},
        {"--help", 0, u"Usage: ferio [options]\n路線バスの運賃表示器と集中操作盤\n"_s, false},
        {"-h --scale 9", 0, u"Usage: ferio"_s, false},
        {"--frobnicate", 2, u"Unknown option 'frobnicate'.\n"_s},
        {"--settings", 2, u"Missing value after '--settings'.\n"_s},
        {"--scale 0", 2, u"--scale: 1 から 4 までの数です: 0\n"_s},
        {"--scale 5", 2, u"--scale: 1 から 4 までの数です: 5\n"_s},
        {"--scale x", 2, u"--scale: 1 から 4 までの数です: x\n"_s},
        {"--ride 123456", 2, rideRefused},
        {"--ride 1a", 2, rideRefused},
        {"--ride 12 --interval 0", 2, rideRefused},
        {"--ride 12 --interval 86401", 2, rideRefused},
        {"--ride 12 --interval soon", 2, rideRefused},
        {"--ride 12 --speed 0", 2, u"--speed takes a number from 0.1 to 86400: 0\n"_s},
        {"--ride 12 --speed 86401", 2, u"--speed takes a number from 0.1 to 86400: 86401\n"_s},
        {"--ride 12 --speed fast", 2, u"--speed takes a number from 0.1 to 86400: fast\n"_s},
        {"--ride 12 --speed nan", 2, u"--speed takes a number from 0.1 to 86400: nan\n"_s},
        {"--record a.mp4 --duration 10", 2, recordRefused},
        {"--record a.mp4 --ride 12", 2, recordRefused},
        {"--record a.mp4 --ride 12 --duration 10 --until-end", 2, recordRefused},
        {"--record a.mp4 --ride 12 --duration 0", 2, u"--duration takes a number of seconds above 0, up to 86400\n"_s},
        {"--record a.mp4 --ride 12 --until-end --fps 25", 2, u"--fps takes 30 or 60: 25\n"_s},
        {"--record a.mp4 --ride 12 --until-end --clock 25:00", 2,
         u"--clock takes a time of day as hh:mm or hh:mm:ss: 25:00\n"_s},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        const CommandLine got = read(QString::fromUtf8(r.line));
        EXPECT_EQ(got.exitStatus, r.status);
        if (r.whole)
            EXPECT_EQ(got.answer.toStdString(), r.answer.toStdString());
        else
            EXPECT_TRUE(got.answer.startsWith(r.answer)) << got.answer.toStdString();
    }
    // Every option is offered, with its value's name.
    const QString help = read(QStringLiteral("--help")).answer;
    for (const char* option :
         {"--settings <FILE>", "--reading <TEXT>", "--say <TEXT>", "--readings <FILE>", "--ride <ROUTE>",
          "--interval <SECONDS>", "--speed <X>", "--scale <N>", "--record <FILE>", "--duration <SECONDS>",
          "--until-end", "--fps <N>", "--clock <TIME>", "--help-all"})
        EXPECT_TRUE(help.contains(QString::fromLatin1(option))) << option;
}

TEST(CommandLine, AStartTakesEachOptionsValue) {
    using std::chrono::milliseconds;
    const CommandLine none = read({});
    EXPECT_FALSE(none.exitStatus);
    EXPECT_EQ(std::tuple(none.settingsFile, none.rideRoute, none.scale, none.reading, none.say),
              std::tuple(QString(), QString(), 0, std::optional<QString>(), std::optional<QString>()));

    const CommandLine all = read(QStringLiteral(
        "--settings /tmp/kita.in4 --readings r.tsv --reading 上原 --say 本町 --ride 00012 --interval 0.25 --scale 4"));
    EXPECT_FALSE(all.exitStatus) << all.answer.toStdString();
    EXPECT_EQ(all.settingsFile, QStringLiteral("/tmp/kita.in4"));
    EXPECT_EQ(all.readingsFile, QStringLiteral("r.tsv"));
    EXPECT_EQ(all.reading, QStringLiteral("上原"));
    EXPECT_EQ(all.say, QStringLiteral("本町"));
    EXPECT_EQ(std::tuple(all.rideRoute, all.rideInterval, all.scale),
              std::tuple(QStringLiteral("00012"), milliseconds(250), 4));

    EXPECT_EQ(read(QStringLiteral("--ride 7")).rideInterval, milliseconds(8000)) << "the interval's default";
    EXPECT_EQ(read(QStringLiteral("--ride 7 --interval 86400")).rideInterval, milliseconds(86'400'000));
    EXPECT_FALSE(read(QStringLiteral("--interval 0")).exitStatus) << "an interval without a ride is not looked at";
    EXPECT_EQ(read(QStringLiteral("--scale 1")).scale, 1);
    EXPECT_EQ(read(QStringLiteral("--open-data /tmp/feeds/town.zip")).openDataFeed, "/tmp/feeds/town.zip");
    EXPECT_EQ(read(QStringLiteral("--open-data town.zip")).openDataFeed, QDir::current().filePath("town.zip"))
        << "the feed is read after start-up, wherever the program stands then";
    EXPECT_EQ(read(QStringLiteral("--ride 7")).rideSpeed, 1) << "real time by default";
    EXPECT_EQ(read(QStringLiteral("--ride 7 --speed 60")).rideSpeed, 60);
    EXPECT_EQ(read(QStringLiteral("--ride 7 --speed 0.5")).rideSpeed, 0.5);

    const CommandLine timed =
        read(QStringLiteral("--record /tmp/a.mkv --ride 12 --duration 9.5 --fps 60 --clock 7:05"));
    EXPECT_EQ(std::tuple(timed.recordFile, timed.recordDuration, timed.fps, timed.recordClock),
              std::tuple(QStringLiteral("/tmp/a.mkv"), std::optional(milliseconds(9500)), 60, std::optional(25500)));
    const CommandLine whole = read(QStringLiteral("--record a.mp4 --ride 12 --until-end"));
    EXPECT_EQ(std::tuple(whole.recordFile, whole.recordDuration, whole.fps, whole.recordClock),
              std::tuple(QDir::current().filePath("a.mp4"), std::optional<milliseconds>(), 30, std::optional<int>()));
    EXPECT_EQ(read(QStringLiteral("--clock 23:59:58")).recordClock, 86398);
}
