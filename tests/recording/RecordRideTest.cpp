// `ferio --record` as a video maker runs it, read back with FFmpeg's own tools.
#include "settings/DemoSettings.h"
#include "settings/mdlIniIo.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

constexpr int Rate = 44100;

struct Ran {
    int status = -1;
    QByteArray out, err;
};

Ran run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(300'000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

Ran ffmpeg(const QString& file, const QStringList& output) {
    return run(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-i", file} + output + QStringList{"-"});
}

// The demonstration's settings, changed as a test needs.
QString settingsIn(const QTemporaryDir& dir, const std::function<void(OptionInfo&)>& change = {}) {
    const QString file = dir.filePath(QStringLiteral("ferio.in4"));
    EXPECT_FALSE(settings::writeDemoSettings(file, QStringLiteral(FERIO_SAMPLES_DIR)));
    if (change) {
        auto record = std::get<SettingsRecord>(settings::loadFile(file));
        change(record.Options);
        EXPECT_FALSE(settings::saveFile(file, record));
    }
    return file;
}

Ran record(const QString& settings, const QString& file, const QStringList& more) {
    return run(QStringLiteral(FERIO_BIN_DIR "/ferio"),
               QStringList{"--settings", settings, "--record", file, "--ride", "12", "--clock", "10:00"} + more);
}

struct Stream {
    QString codec, type;
    int width = 0, height = 0, frames = 0;
};

std::vector<Stream> streamsOf(const QString& file) {
    const Ran r = run(QStringLiteral("ffprobe"),
                      {"-v", "error", "-count_frames", "-show_entries",
                       "stream=codec_name,codec_type,width,height,nb_read_frames", "-of", "json", file});
    std::vector<Stream> streams;
    for (const QJsonValue v : QJsonDocument::fromJson(r.out)["streams"].toArray()) {
        const QJsonObject s = v.toObject();
        streams.push_back({s["codec_name"].toString(), s["codec_type"].toString(), s["width"].toInt(),
                           s["height"].toInt(), s["nb_read_frames"].toString().toInt()});
    }
    return streams;
}

// The decoded sound, mixed down to one channel.
std::vector<qint16> samplesOf(const QString& file) {
    const QByteArray pcm = ffmpeg(file, {"-ac", "1", "-ar", QString::number(Rate), "-f", "s16le"}).out;
    std::vector<qint16> s(static_cast<size_t>(pcm.size()) / 2);
    std::memcpy(s.data(), pcm.data(), s.size() * 2);
    return s;
}

} // namespace

TEST(Record, ARideDecodesWithItsStreamsItsSizeAndItsFrameCountTheSameEveryTime) {
    QTemporaryDir dir;
    const QString settings = settingsIn(dir);
    const struct {
        const char* file;
        QStringList options;
        const char* audio;
        int width, height, frames;
    } rows[] = {
        {"ride.mp4", {"--duration", "4"}, "aac", 644, 240, 120}, // 643 px wide, padded to even
        {"ride.mkv", {"--duration", "4", "--scale", "2", "--fps", "60"}, "flac", 1286, 480, 240},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        const QString file = dir.filePath(QString::fromLatin1(r.file));
        const Ran ran = record(settings, file, r.options);
        ASSERT_EQ(ran.status, 0) << ran.err.toStdString();
        EXPECT_FALSE(QFile::exists(file + ".part"));
        const std::vector<Stream> s = streamsOf(file);
        ASSERT_EQ(s.size(), 2u);
        EXPECT_EQ(std::tuple(s[0].type, s[0].codec, s[0].width, s[0].height),
                  std::tuple(QStringLiteral("video"), QStringLiteral("h264"), r.width, r.height));
        EXPECT_NEAR(s[0].frames, r.frames, 1);
        EXPECT_EQ(std::tuple(s[1].type, s[1].codec), std::tuple(QStringLiteral("audio"), QString::fromLatin1(r.audio)));
    }
    const QString again = dir.filePath(QStringLiteral("again.mp4"));
    ASSERT_EQ(record(settings, again, {"--duration", "4"}).status, 0);
    const QStringList md5 = {"-f", "framemd5"};
    const QByteArray first = ffmpeg(dir.filePath("ride.mp4"), md5).out;
    EXPECT_GT(first.count('\n'), 120 + 4 * Rate / 1024) << "every frame and every sound packet";
    EXPECT_EQ(first, ffmpeg(again, md5).out) << "two recordings of one ride decode to the same frames and samples";
}

TEST(Record, TheStepChimeAndTheNewFaresAreWithinOneFrame) {
    // No broadcast table, no route-set sounds: the ride steps with "データ送り" every 2 s after
    // the lamp test, and the step chime is the only sound.
    for (const bool sync : {false, true}) {
        SCOPED_TRACE(sync ? "the fares change after the chime" : "the fares change as the chime starts");
        QTemporaryDir dir;
        const QString settings = settingsIn(dir, [&](OptionInfo& o) {
            o.TapeDataDir = dir.filePath(QStringLiteral("none")).toStdString();
            o.SoundKeitoSet.clear();
            o.SoundReset.clear();
            o.StepSoundAlways = -1;
            o.StepSoundByColumn = 0;
            o.StepSoundFile = o.StepSoundFile1;
            o.StepSoundSync = sync ? -1 : 0;
            o.StepSoundAsync = sync ? 0 : -1;
        });
        const QString file = dir.filePath(QStringLiteral("steps.mkv"));
        const Ran ran = record(settings, file, {"--duration", "6.5", "--interval", "2"});
        ASSERT_EQ(ran.status, 0) << ran.err.toStdString();

        // The fare cells alone, without the stop name that scrolls and the clock.
        const int w = 519, h = 200;
        const QByteArray video = ffmpeg(file, {"-vf", QStringLiteral("crop=%1:%2:124:40").arg(w).arg(h), "-pix_fmt",
                                               "gray", "-f", "rawvideo"})
                                     .out;
        const int frames = video.size() / (w * h);
        ASSERT_GT(frames, 180);
        const auto frameAt = [&](int n) { return video.mid(n * w * h, w * h); };
        // Frames whose fares differ from the frame before: a digit turns hundreds of pixels from
        // lit to dark, the encoder's noise only a few grey levels.
        const auto changed = [&](int n) {
            const QByteArray a = frameAt(n - 1), b = frameAt(n);
            int moved = 0;
            for (int i = 0; i < a.size(); ++i) moved += std::abs(uchar(a[i]) - uchar(b[i])) > 48;
            return moved > 100;
        };
        std::vector<int> changes;
        for (int n = 1; n < frames; ++n)
            if (changed(n)) changes.push_back(n);
        ASSERT_FALSE(changes.empty());
        // FLAC is lossless and the mix is exactly 0 where nothing sounds.
        const std::vector<qint16> sound = samplesOf(file);
        const auto onset = std::find_if(sound.begin(), sound.end(), [](qint16 s) { return s != 0; });
        ASSERT_NE(onset, sound.end()) << "the step chime is heard";
        const auto last = std::find_if(sound.rbegin(), sound.rend(), [](qint16 s) { return s != 0; });
        const double start = double(onset - sound.begin()) / Rate;
        const double end = double(sound.rend() - last) / Rate;
        // The first change after the lamp test that follows the chime's start (or its end).
        const double moment = sync ? end : start;
        const auto step = std::find_if(changes.begin(), changes.end(), [&](int n) { return n / 30.0 > start - 0.5; });
        ASSERT_NE(step, changes.end()) << "the fares change at the step";
        QStringList seen;
        for (const int n : changes) seen << QString::number(n);
        EXPECT_NEAR(*step / 30.0, moment, 1 / 30.0)
            << "chime from " << start << " s to " << end << " s; the fares change at frames "
            << seen.join(' ').toStdString();
    }
}

TEST(Record, AFileThatCannotBeWrittenIsRefusedAtTheStartAndNothingIsLeft) {
    QTemporaryDir dir;
    const QString settings = settingsIn(dir);
    const struct {
        QString file;
        QStringList more;
        const char* says; // a part of the message
    } rows[] = {
        {dir.filePath("ride.avi"), {"--duration", "1"}, ".avi"},
        {dir.filePath("no/such/folder/ride.mp4"), {"--duration", "1"}, "no/such/folder"},
        {"/proc/ride.mp4", {"--duration", "1"}, "/proc"}, // a folder nobody writes in, root included
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file.toStdString());
        const Ran ran = record(settings, r.file, r.more);
        EXPECT_EQ(ran.status, 1);
        EXPECT_TRUE(ran.err.contains(r.says)) << ran.err.toStdString();
        EXPECT_FALSE(QFile::exists(r.file) || QFile::exists(r.file + ".part"));
    }
    // A route that cannot be set leaves no file either.
    const QString file = dir.filePath(QStringLiteral("none.mp4"));
    const Ran ran = run(QStringLiteral(FERIO_BIN_DIR "/ferio"),
                        {"--settings", settings, "--record", file, "--ride", "99999", "--until-end"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("99999")) << ran.err.toStdString();
    EXPECT_FALSE(QFile::exists(file) || QFile::exists(file + ".part"));
}

TEST(Record, ARecordingEndedBySigtermOrKilledStillPlays) {
    QTemporaryDir dir;
    const QString settings = settingsIn(dir);
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGKILL");
        const QString file = dir.filePath(QStringLiteral("cut%1.mp4").arg(signal));
        QProcess p;
        p.setReadChannel(QProcess::StandardError); // where the progress goes
        p.start(QStringLiteral(FERIO_BIN_DIR "/ferio"),
                {"--settings", settings, "--record", file, "--ride", "12", "--interval", "30", "--until-end"});
        // The progress line says how much is recorded; wait for 8 s of it.
        const QRegularExpression recorded(QStringLiteral("録画 (\\d+):(\\d+\\.\\d)"));
        QByteArray err;
        double seconds = 0;
        while (seconds < 8 && p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(60'000);
            err += p.readAllStandardError();
            const QString text = QString::fromUtf8(err);
            for (auto m = recorded.globalMatch(text); m.hasNext();) {
                const auto got = m.next();
                seconds = got.captured(1).toInt() * 60 + got.captured(2).toDouble();
            }
        }
        ASSERT_GE(seconds, 8) << "waited for 8 s to be recorded: " << err.toStdString();
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60'000));
        const QString left = signal == SIGTERM ? file : file + ".part";
        EXPECT_EQ(signal == SIGTERM, p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0);
        ASSERT_TRUE(QFile::exists(left));
        const std::vector<Stream> s = streamsOf(left);
        ASSERT_EQ(s.size(), 2u);
        EXPECT_GE(s[0].frames, (seconds - 2) * 30) << "plays up to at most 2 s before the end";
    }
}
