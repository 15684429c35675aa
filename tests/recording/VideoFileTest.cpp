// Video files as a player sees them: ffprobe and ffmpeg read what VideoFile wrote.
#include "recording/VideoFile.h"
#include "BoardParts.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <numbers>
#include <sys/resource.h>
#include <unistd.h>

using recording::VideoFile;
using recording::VideoFormat;

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

// A 440 Hz tone, `frames` stereo samples from sample `from` on.
std::vector<int16_t> tone(std::size_t from, std::size_t frames) {
    std::vector<int16_t> s(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(from + i) / 44100.0;
        s[2 * i] = s[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 440 * t));
    }
    return s;
}

// Writes `frames` frames and their length of tone.
std::unique_ptr<VideoFile> write(const QString& path, BoardFrames& source, int frames) {
    std::string error;
    auto file = VideoFile::create(path.toStdString(), {643, 240, Fps, 44100, 2}, &error);
    EXPECT_TRUE(file) << error;
    if (!file) return nullptr;
    for (int n = 0; n < frames; ++n) {
        const QImage image = source.frame(n);
        EXPECT_TRUE(file->addFrame(image.constBits(), static_cast<int>(image.bytesPerLine()))) << file->error();
        const std::size_t from = static_cast<std::size_t>(n) * 44100 / Fps;
        const std::vector<int16_t> samples = tone(from, static_cast<std::size_t>(n + 1) * 44100 / Fps - from);
        EXPECT_TRUE(file->addSamples(samples.data(), samples.size() / 2)) << file->error();
    }
    return file;
}

QString run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000)) return program + " did not finish";
    if (out) *out = p.readAllStandardOutput();
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

// "codec_type=video" … lines of every stream, joined.
QString probe(const QString& path) {
    QByteArray out;
    const QString error =
        run("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                        "stream=codec_type,codec_name,width,height,nb_read_frames,sample_rate,channels", "-of",
                        "compact=p=0:nk=0", path},
            &out);
    return error.isEmpty() ? QString::fromUtf8(out).trimmed() : error;
}

// One picture as ffmpeg reads it from `input` through `filter`, in the pixel format `pixels`.
QByteArray picture(const QString& input, const QString& filter, const char* pixels) {
    QByteArray raw;
    const QString error =
        run("ffmpeg", {"-v", "error", "-i", input, "-vf", filter, "-frames:v", "1", "-pix_fmt", pixels, "-f", "rawvideo", "-"},
            &raw);
    EXPECT_EQ(error.toStdString(), "") << input.toStdString();
    return raw;
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

struct Container {
    const char* extension;
    const char* streams;
};
void PrintTo(const Container& c, std::ostream* os) { *os << c.extension; }

class EachContainer : public ::testing::TestWithParam<Container> {};

} // namespace

TEST_P(EachContainer, TwoSecondsPlayBackWithTheirFramesSizeAndSound) {
    QTemporaryDir dir;
    BoardFrames source;
    const QString path = dir.filePath(QStringLiteral("ride") + GetParam().extension);
    auto file = write(path, source, 2 * Fps);
    ASSERT_TRUE(file);
    EXPECT_FALSE(QFile::exists(path)) << "named before it was finished";
    EXPECT_TRUE(QFile::exists(path + ".part"));
    ASSERT_TRUE(file->finish()) << file->error();
    EXPECT_FALSE(QFile::exists(path + ".part"));
    EXPECT_EQ(probe(path).toStdString(), GetParam().streams);
    // The coding loses little of the board's sharp dots; 4:2:0 itself costs the colours of
    // single-pixel edges a few dB more, but the colours stay where they were.
    for (const int n : {0, 50}) {
        const QImage given = source.frame(n); // the fares of frame n, drawn again
        EXPECT_GE(psnr(path, n, given, "yuv420p"), 35.0) << "frame " << n;
        EXPECT_GE(psnr(path, n, given, "rgb24"), 29.0) << "frame " << n;
    }
}

TEST_P(EachContainer, TheSameFramesAndSamplesGiveTheSameBytes) {
    QTemporaryDir dir;
    std::array<QByteArray, 2> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        BoardFrames source;
        const QString path = dir.filePath(QStringLiteral("ride%1").arg(i) + GetParam().extension);
        auto file = write(path, source, Fps);
        ASSERT_TRUE(file && file->finish());
        bytes[i] = contents(path);
    }
    EXPECT_GT(bytes[0].size(), 1000);
    EXPECT_TRUE(bytes[0] == bytes[1]);
}

TEST_P(EachContainer, AFileCutOffBeforeItsEndStillPlaysItsFirstSecond) {
    QTemporaryDir dir;
    BoardFrames source;
    const QString path = dir.filePath(QStringLiteral("ride") + GetParam().extension);
    const QString cut = dir.filePath(QStringLiteral("cut") + GetParam().extension);
    auto file = write(path, source, 2 * Fps);
    ASSERT_TRUE(file);
    ASSERT_TRUE(QFile::copy(path + ".part", cut)); // 2 s given, some of it still in the encoder
    file.reset(); // never finished: the .part stays
    EXPECT_TRUE(QFile::exists(path + ".part"));
    EXPECT_FALSE(QFile::exists(path));
    for (const QString& f : {cut, path + ".part"}) {
        QByteArray frames;
        EXPECT_EQ(run("ffprobe", {"-v", "error", "-f", GetParam().extension == std::string(".mp4") ? "mp4" : "matroska",
                                  "-count_frames", "-select_streams", "v", "-show_entries", "stream=nb_read_frames",
                                  "-of", "csv=p=0", f},
                      &frames)
                      .toStdString(),
                  "");
        EXPECT_GE(frames.trimmed().toInt(), Fps) << f.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    VideoFile, EachContainer,
    ::testing::Values(
        Container{".mp4", "codec_name=h264|codec_type=video|width=644|height=240|nb_read_frames=60\n"
                          "codec_name=aac|codec_type=audio|sample_rate=44100|channels=2|nb_read_frames=88"},
        Container{".mkv", "codec_name=h264|codec_type=video|width=644|height=240|nb_read_frames=60\n"
                          "codec_name=flac|codec_type=audio|sample_rate=44100|channels=2|nb_read_frames=20"}),
    [](const auto& info) { return std::string(info.param.extension + 1); });

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

TEST(VideoFile, AFullDiskMakesTheNextWriteFailWithItsReason) {
    QTemporaryDir dir;
    BoardFrames source;
    std::string error;
    auto file = VideoFile::create(dir.filePath(QStringLiteral("ride.mp4")).toStdString(), {643, 240}, &error);
    ASSERT_TRUE(file) << error;
    // A file-size limit fails the writes as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &small);
    bool written = true;
    for (int n = 0; n < 10 * Fps && written; ++n) {
        const QImage image = source.frame(n);
        const std::vector<int16_t> samples = tone(0, 1470);
        written = file->addFrame(image.constBits(), static_cast<int>(image.bytesPerLine())) &&
                  file->addSamples(samples.data(), 1470);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written) << "10 s written into 20 kB";
    EXPECT_EQ(file->error(), "録画を書き込めません（ディスクに空きがありません）：" + dir.filePath("ride.mp4.part").toStdString());
}
