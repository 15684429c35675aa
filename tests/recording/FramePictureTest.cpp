// A recorded frame is the board's own painting at that moment, within what H.264 loses.
#include "app/DesktopDevices.h"
#include "app/Ferio.h"
#include "app/RideRecording.h"
#include "board/BoardGeometry.h"
#include "settings/DemoSettings.h"
#include "sound/AudioDevice.h"
#include "sound/MixerCommands.h"
#include "sound/mdlSndAPI.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

// Frame `n` of the file, decoded to RGB.
QImage decodedFrame(const QString& file, std::int64_t n, QSize size) {
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-v", "error", "-i", file, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(n),
                                       "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    p.waitForFinished(120'000);
    const QByteArray rgb = p.readAllStandardOutput();
    if (rgb.size() != size.width() * size.height() * 3) return {};
    return QImage(reinterpret_cast<const uchar*>(rgb.constData()), size.width(), size.height(), size.width() * 3,
                  QImage::Format_RGB888)
        .copy();
}

double psnr(const QImage& a, const QImage& b) {
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) squares += d * d;
        }
    const double mse = squares / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

TEST(Record, AFrameIsTheBoardsOwnPictureAtThatMoment) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("ferio.in4"));
    ASSERT_FALSE(settings::writeDemoSettings(settings, QStringLiteral(FERIO_SAMPLES_DIR)));
    // Matroska keeps every pixel's colour; MP4's half-resolution colour is checked with the file.
    const QString file = dir.filePath(QStringLiteral("ride.mkv"));
    const CommandLine line = readCommandLine(
        {"ferio", "--record", file, "--ride", "12", "--interval", "1", "--duration", "6", "--clock", "10:00"});
    ASSERT_FALSE(line.exitStatus) << line.answer.toStdString();
    const QSize size = board::ClientSize + QSize(1, 0); // 643 px wide, padded to even in the file
    audio::open(audio::Output::Pulled);
    const auto recording = RideRecording::open(line, board::ClientSize);
    ASSERT_TRUE(recording);
    MixerCommands mixer(recording->time());
    SoundChannels sound(mixer, "FerioVer4", recording->time());
    QtEventLoop events;
    Ferio ferio(FerioDevices{sound, events, recording->time(), nullptr, {}, &recording->time()}, settings);
    ferio.board().setScale(1);
    ferio.start();

    // The lamp test, a stop after the first step, and one with the name scrolling.
    std::map<std::int64_t, QImage> painted{{45, {}}, {125, {}}, {170, {}}};
    recording->watchFrames([&](std::int64_t n, const QImage& picture) {
        if (painted.count(n)) painted[n] = picture.copy();
    });
    ASSERT_EQ(recording->record(ferio), 0);
    for (const auto& [n, picture] : painted) {
        SCOPED_TRACE(n);
        ASSERT_EQ(picture.size(), board::ClientSize);
        const QImage decoded = decodedFrame(file, n, size).copy(QRect(QPoint(), board::ClientSize));
        ASSERT_FALSE(decoded.isNull()) << "frame " << n << " decodes";
        EXPECT_GE(psnr(picture.convertToFormat(QImage::Format_RGB888), decoded), 35);
    }
    EXPECT_NE(painted[45], painted[125]) << "the frames differ, so the comparison tells the frames apart";
}
