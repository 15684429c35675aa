#include "recording/Recorder.h"

#include "recording/VideoFile.h"

#include <algorithm>

namespace recording {

using std::chrono::nanoseconds;
constexpr std::int64_t NsPerSecond = 1'000'000'000;
constexpr std::size_t MixChannels = 2;
constexpr std::size_t MixFrames = 4096; // the most pulled at once

Recorder::Recorder(RecordingTime& time, VideoFile& file, RecorderSources sources)
    : time_(time),
      file_(file),
      sources_(std::move(sources)),
      mix_(MixFrames * MixChannels) {
    // A blocking wait (a lamp test, a chime played to its end) holds the program, not the video.
    time_.onSleep([this](nanoseconds end) { recordTo(end); });
}

Recorder::~Recorder() { time_.onSleep({}); }

nanoseconds Recorder::frameTime(std::int64_t n) const {
    const std::int64_t fps = file_.format().fps;
    return nanoseconds((n * NsPerSecond + fps - 1) / fps);
}

bool Recorder::run(nanoseconds end, const std::function<bool()>& done, const std::function<void()>& progress) {
    bool stopped = false;
    while (!failed_ && !(stopped = done && done())) {
        const nanoseconds due = time_.nextDue();
        const nanoseconds frameAt = frameTime(frames_);
        if (due.count() >= 0 && due <= frameAt && due <= end) {
            recordTo(due);
            time_.runNext(due);
            sources_.events();
            continue;
        }
        if (frameAt >= end) break;
        recordTo(frameAt + nanoseconds(1));
        if (progress) progress();
    }
    if (!failed_) recordTo(stopped ? time_.elapsed() : end);
    return !failed_;
}

void Recorder::recordTo(nanoseconds to) {
    for (nanoseconds at = frameTime(frames_); at < to && !failed_; at = frameTime(frames_)) {
        soundTo(at);
        time_.moveTo(at);
        QImage picture = sources_.frame().convertToFormat(QImage::Format_RGB32);
        // The video keeps the size it was opened with, whatever the picture's.
        const QSize size(file_.format().width, file_.format().height);
        if (picture.size() != size) picture = picture.scaled(size).convertToFormat(QImage::Format_RGB32);
        failed_ = !file_.addFrame(picture.constBits(), static_cast<int>(picture.bytesPerLine()));
        ++frames_;
    }
    soundTo(to);
    time_.moveTo(to);
}

void Recorder::soundTo(nanoseconds to) {
    const std::int64_t target = to.count() * file_.format().sampleRate / NsPerSecond;
    while (samples_ < target && !failed_) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(target - samples_, MixFrames));
        sources_.sound(mix_.data(), n);
        failed_ = !file_.addSamples(mix_.data(), n);
        samples_ += static_cast<std::int64_t>(n);
    }
}

} // namespace recording
