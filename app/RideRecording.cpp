#include "app/RideRecording.h"

#include "app/Ferio.h"
#include "recording/Recorder.h"
#include "recording/VideoFile.h"
#include "reslib/ui/Messages.h"
#include "sound/AudioDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t interrupted = 0;

// Ctrl+C and SIGTERM end the recording where it is, with the file finished; a second one ends
// the process at once.
void stopRecording(int signal) {
    interrupted = 1;
    std::signal(signal, SIG_DFL);
}

QString minutesAndSeconds(std::chrono::nanoseconds t) {
    const double s = std::chrono::duration<double>(t).count();
    return QStringLiteral("%1:%2").arg(static_cast<int>(s) / 60).arg(std::fmod(s, 60.0), 4, 'f', 1, QLatin1Char('0'));
}

} // namespace

std::unique_ptr<RideRecording> RideRecording::open(const CommandLine& line, QSize boardSize) {
    std::string error;
    const recording::VideoFormat format{boardSize.width(), boardSize.height(), line.fps, audio::SampleRate};
    auto file = recording::VideoFile::create(QFile::encodeName(line.recordFile).toStdString(), format, &error);
    if (!file) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return nullptr;
    }
    return std::unique_ptr<RideRecording>(new RideRecording(line, std::move(file)));
}

namespace {

// Today at the command line's time of day, else now.
fare::LocalTime startOf(const CommandLine& line) {
    fare::LocalTime start = fare::systemClock().now();
    if (line.recordClock) {
        start.hour = *line.recordClock / 3600;
        start.minute = *line.recordClock / 60 % 60;
        start.second = *line.recordClock % 60;
    }
    return start;
}

} // namespace

RideRecording::RideRecording(const CommandLine& line, std::unique_ptr<recording::VideoFile> file)
    : line_(line),
      time_(startOf(line)),
      file_(std::move(file)) {}

RideRecording::~RideRecording() = default;

int RideRecording::record(Ferio& ferio) {
    // Nobody is there to answer a message box: it is said on standard error and taken as read.
    msg::setHandler([](const msg::Request& request) {
        std::fprintf(stderr, "\n%s: %s\n", qPrintable(request.title), qPrintable(request.text));
        return QMessageBox::Ok;
    });
    std::signal(SIGINT, stopRecording);
    std::signal(SIGTERM, stopRecording);

    Form1& board = ferio.board();
    QImage picture(board.size(), QImage::Format_RGB32);
    std::int64_t frame = 0;
    recording::Recorder recorder(time_, *file_,
                                 {[&] {
                                      board.render(&picture);
                                      if (watcher_) watcher_(frame, picture);
                                      ++frame;
                                      return picture;
                                  },
                                  audio::pull, [] { QCoreApplication::processEvents(); }});

    // The ride starts at the recording's first moment, so its lamp test is recorded too.
    SourceTimer rideTimer(time_);
    Ride ride(ferio, rideTimer, line_.rideRoute, line_.rideInterval, line_.rideSpeed);
    bool started = false, routeSet = false;
    const auto kick = time_.timer([&] {
        ride.start();
        started = true;
        routeSet = ferio.stopCount() > 0;
    });
    kick->start(std::chrono::milliseconds(0));

    const bool toTheEnd = !line_.recordDuration;
    const auto end =
        toTheEnd ? std::chrono::nanoseconds(std::chrono::hours(24)) : std::chrono::nanoseconds(*line_.recordDuration);
    if (toTheEnd) ride.stopAtTheEnd();
    // Until the last stop is reached and its announcement heard to the end.
    const auto done = [&] { return interrupted || (started && !routeSet) || (ride.ended() && !audio::sounding()); };
    QElapsedTimer wall;
    wall.start();
    qint64 shown = -1;
    const auto progress = [&] {
        if (wall.elapsed() / 250 == shown / 250) return; // a few lines a second are enough to read
        shown = wall.elapsed();
        const double speed = std::chrono::duration<double>(time_.elapsed()).count() / (double(shown) / 1000);
        std::fprintf(stderr, "\r停留所 %d/%d  録画 %s  %.1f 倍速   ", ferio.engine().state().CurrentStop + 1,
                     ferio.stopCount(), qPrintable(minutesAndSeconds(time_.elapsed())), speed);
    };
    const bool written = recorder.run(end, done, progress) && routeSet && file_->finish();
    std::fputc('\n', stderr);
    const QString path = QDir::toNativeSeparators(line_.recordFile);
    if (!routeSet) {
        std::fprintf(stderr, "系統 %s を設定できないため、録画しませんでした。\n", qPrintable(line_.rideRoute));
        file_.reset();
        QFile::remove(line_.recordFile + QStringLiteral(".part"));
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "%s\n", file_->error().c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(time_.elapsed()).count();
    std::fprintf(stderr, "%s: %s%s を %.1f 秒で録画しました（%.1f 倍速）\n", qPrintable(path),
                 interrupted ? "止めたところまでの " : "", qPrintable(minutesAndSeconds(time_.elapsed())),
                 double(wall.elapsed()) / 1000, seconds / (double(wall.elapsed()) / 1000));
    return 0;
}
