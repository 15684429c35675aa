// Video files as a player sees them: ffprobe and ffmpeg read what VideoFile wrote.
#include "recording/VideoFile.h"
#include "BoardParts.h"
#include "Players.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

using recording::VideoFile;

namespace {

constexpr int Fps = 30;

// The board at its designed size (643 × 240: an odd width), its fares changing every few frames.
struct BoardFrames {
    Form1 board;
    BoardFrames() { board.copyBuiltinPicture(); }
    QImage frame(int n) {
        if (n % 10 == 0)
            for (int cell = 1; cell <= 32; ++cell) Degit(board, cell)->setValue(qint64(100 + 10 * ((cell + n) % 50)));
        return board.boardImage().convertToFormat(QImage::Format_RGB32);
    }
};

// Writes `frames` frames and their length of a sawtooth.
std::unique_ptr<VideoFile> write(const QString& path, BoardFrames& source, int frames) {
    std::string error;
    auto file = VideoFile::create(path.toStdString(), {643, 240, Fps, 44100, 2}, &error);
    EXPECT_TRUE(file) << error;
    std::vector<int16_t> sound(2 * 44100 / Fps);
    for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<int16_t>((i % 100) * 200);
    for (int n = 0; n < frames && file; ++n) {
        const QImage image = source.frame(n);
        EXPECT_TRUE(file->addFrame(image.constBits(), static_cast<int>(image.bytesPerLine()))) << file->error();
        EXPECT_TRUE(file->addSamples(sound.data(), sound.size() / 2)) << file->error();
    }
    return file;
}

// "codec_name=h264|codec_type=video|…" lines of every stream.
QString probe(const QString& path) {
    return QString::fromUtf8(
               output("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                                  "stream=codec_type,codec_name,width,height,nb_read_frames,sample_rate,channels",
                                  "-of", "compact=p=0:nk=0", path}))
        .trimmed();
}

// One picture as ffmpeg reads it from `input` through `filter`, in the pixel format `pixels`.
QByteArray picture(const QString& input, const QString& filter, const char* pixels) {
    return output("ffmpeg", {"-v", "error", "-i", input, "-vf", filter, "-frames:v", "1", "-pix_fmt", pixels, "-f",
                             "rawvideo", "-"});
}

// Peak signal-to-noise ratio of frame `n` of the video, against the frame given, in the pixel
// format `pixels`: the picture given is padded to even and converted by ffmpeg alike.
double psnr(const QString& video, int n, const QImage& given, const char* pixels) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("given.png"));
    given.save(png);
    const QByteArray a = picture(video, QStringLiteral("select=eq(n\\,%1)").arg(n), pixels);
    const QByteArray b = picture(png, QStringLiteral("pad=ceil(iw/2)*2:ceil(ih/2)*2"), pixels);
    if (a.size() != b.size() || a.isEmpty()) {
        ADD_FAILURE() << "frame " << n << ": " << a.size() << " bytes decoded, " << b.size() << " given";
        return 0;
    }
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const int d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
        sum += d * d;
    }
    return 10 * std::log10(255.0 * 255.0 / std::max(sum / static_cast<double>(a.size()), 1e-9));
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(VideoFile, WritesWhatPlayersReadTheSameEveryTimeAndPlayableWhenCutOff) {
    const struct {
        const char* extension;
        const char* streams;
        double rgbDb; // MP4's half-resolution colour costs single-pixel colour edges a few dB
    } containers[] = {
        {".mp4", "codec_name=h264|codec_type=video|width=644|height=240|nb_read_frames=60\n"
                 "codec_name=aac|codec_type=audio|sample_rate=44100|channels=2|nb_read_frames=88",
         29},
        {".mkv", "codec_name=h264|codec_type=video|width=644|height=240|nb_read_frames=60\n"
                 "codec_name=flac|codec_type=audio|sample_rate=44100|channels=2|nb_read_frames=20",
         35},
    };
    for (const auto& c : containers) {
        SCOPED_TRACE(c.extension);
        QTemporaryDir dir;
        BoardFrames source;
        const QString path = dir.filePath(QStringLiteral("ride") + c.extension);
        const QString cut = dir.filePath(QStringLiteral("cut") + c.extension);
        auto file = write(path, source, 2 * Fps);
        ASSERT_TRUE(file);
        EXPECT_FALSE(QFile::exists(path)) << "named before it was finished";
        ASSERT_TRUE(QFile::copy(path + ".part", cut)); // 2 s given, some of it still in the encoder
        ASSERT_TRUE(file->finish()) << file->error();
        EXPECT_FALSE(QFile::exists(path + ".part"));
        EXPECT_EQ(probe(path).toStdString(), c.streams);
        // The coding loses little of the board's sharp dots.
        for (const int n : {0, 50}) {
            const QImage given = source.frame(n); // the fares of frame n, drawn again
            EXPECT_GE(psnr(path, n, given, "yuv420p"), 35.0) << "frame " << n;
            EXPECT_GE(psnr(path, n, given, "rgb24"), c.rgbDb) << "frame " << n;
        }
        // The fragments written before the end play on their own: the first second at least.
        EXPECT_TRUE(QRegularExpression(QStringLiteral("video\\|.*nb_read_frames=(3\\d|[4-5]\\d)\\b"))
                        .match(probe(cut))
                        .hasMatch())
            << probe(cut).toStdString();

        BoardFrames again;
        const QString second = dir.filePath(QStringLiteral("again") + c.extension);
        file = write(second, again, 2 * Fps);
        ASSERT_TRUE(file && file->finish());
        EXPECT_TRUE(contents(path) == contents(second)) << "the same frames and samples gave other bytes";
    }
}

TEST(VideoFile, RefusesWhatItCannotWriteAndCreatesNothing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("locked"));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Root writes through permission bits, but not into /sys.
    const QString locked = geteuid() == 0 ? QStringLiteral("/sys") : dir.filePath(QStringLiteral("locked"));
    const struct {
        QString path;
        const char* says;
    } cases[] = {
        {dir.filePath(QStringLiteral("ride.avi")), "録画できるのは .mp4 と .mkv のファイルです："},
        {dir.filePath(QStringLiteral("ride")), "録画できるのは .mp4 と .mkv のファイルです："},
        {dir.filePath(QStringLiteral("missing/ride.mp4")), "録画を保存するフォルダがありません："},
        {locked + QStringLiteral("/ride.mkv"), "録画を保存するフォルダに書き込めません："},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(VideoFile::create(c.path.toStdString(), {640, 240}, &error)) << c.path.toStdString();
        EXPECT_EQ(error, c.says + c.path.toStdString());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(QDir(locked).entryList({"ride*"}), QStringList());
}
