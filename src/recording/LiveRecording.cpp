#include "recording/LiveRecording.h"

#include "sound/AudioDevice.h"

namespace recording {
namespace {

// Pictures waiting for the encoder at most; beyond them, a tick repeats the last one rather
// than hold more memory while the encoder catches up.
constexpr std::size_t MaxWaiting = 30;

} // namespace

LiveRecording::LiveRecording(std::function<QImage()> frame, std::unique_ptr<VideoFile> file, timing::Source& time,
                             std::function<void(const std::string& error)> failed)
    : frame_(std::move(frame)),
      file_(std::move(file)),
      time_(time),
      failed_(std::move(failed)),
      start_(time.elapsed()),
      timer_(time.timer([this] { tick(); })) {
    // A second of the mix, so that the audio thread seldom allocates.
    mix_.reserve(static_cast<std::size_t>(file_->format().sampleRate * file_->format().channels));
    encoder_ = std::thread([this] { encode(); });
    audio::listenToMix(&LiveRecording::heard, this);
    tick();
}

LiveRecording::~LiveRecording() { finish(); }

void LiveRecording::heard(void* self, unsigned char* stream, int len) {
    auto* recording = static_cast<LiveRecording*>(self);
    const auto* samples = reinterpret_cast<const int16_t*>(stream);
    const std::lock_guard lock(recording->mixLock_);
    recording->mix_.insert(recording->mix_.end(), samples, samples + len / static_cast<int>(sizeof(int16_t)));
}

void LiveRecording::tick() {
    bool failed = false, full = false;
    {
        const std::lock_guard lock(framesLock_);
        failed = writeFailed_;
        full = frames_.size() >= MaxWaiting;
    }
    if (failed) {
        timer_->stop();
        failed_(error_); // the last thing done here: it may end the recording
        return;
    }
    const int64_t fps = file_->format().fps;
    const int64_t now = (time_.elapsed() - start_).count();
    const int64_t due = now * fps / 1'000'000'000 + 1; // frames whose time has come
    if (due > framesDue_) {
        const int count = static_cast<int>(due - framesDue_);
        if (!full) last_ = frame_();
        {
            const std::lock_guard lock(framesLock_);
            if (full && !frames_.empty())
                frames_.back().count += count;
            else
                frames_.push_back({last_, count});
        }
        framesReady_.notify_one();
        framesDue_ = due;
    }
    const int64_t next = (framesDue_ * 1'000'000'000 / fps - now + 999'999) / 1'000'000;
    timer_->start(std::chrono::milliseconds(next));
}

void LiveRecording::encode() {
    const VideoFormat& format = file_->format();
    const QSize size(format.width, format.height);
    const auto channels = static_cast<std::size_t>(format.channels);
    // Sound is behind when the mix lags the pictures by more than a tenth of a second: no device,
    // or one that stalled. Silence fills the gap.
    const int64_t slack = format.sampleRate / 10;
    int64_t frames = 0, samples = 0;
    std::vector<int16_t> heard, silence;
    heard.reserve(mix_.capacity());
    const auto addSilence = [&](int64_t count) {
        silence.assign(static_cast<std::size_t>(count) * channels, 0);
        samples += count;
        return file_->addSamples(silence.data(), static_cast<std::size_t>(count));
    };
    bool written = true;
    while (written) {
        Frame next;
        {
            std::unique_lock lock(framesLock_);
            framesReady_.wait(lock, [this] { return ending_ || !frames_.empty(); });
            if (frames_.empty()) break;
            next = std::move(frames_.front());
            frames_.pop_front();
        }
        // The board changed its scale meanwhile: the video keeps its size.
        QImage picture = next.picture.size() == size
                             ? next.picture.convertToFormat(QImage::Format_RGB32)
                             : next.picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) { // nothing to show: black
            picture = QImage(size, QImage::Format_RGB32);
            picture.fill(Qt::black);
        }
        for (int i = 0; i < next.count && written; ++i)
            written = file_->addFrame(picture.constBits(), static_cast<int>(picture.bytesPerLine()));
        frames += next.count;
        {
            const std::lock_guard lock(mixLock_);
            std::swap(mix_, heard);
        }
        if (written && !heard.empty()) written = file_->addSamples(heard.data(), heard.size() / channels);
        samples += static_cast<int64_t>(heard.size() / channels);
        heard.clear();
        const int64_t behind = frames * format.sampleRate / format.fps - slack - samples;
        if (written && behind > 0) written = addSilence(behind);
    }
    if (written) {
        const int64_t behind = frames * format.sampleRate / format.fps - samples;
        written = (behind <= 0 || addSilence(behind)) && file_->finish();
    }
    if (!written) {
        const std::lock_guard lock(framesLock_);
        error_ = file_->error();
        writeFailed_ = true;
    }
}

bool LiveRecording::finish() {
    if (finished_) return error_.empty();
    finished_ = true;
    timer_->stop();
    audio::listenToMix(nullptr, nullptr);
    {
        const std::lock_guard lock(framesLock_);
        ending_ = true;
    }
    framesReady_.notify_one();
    encoder_.join();
    return error_.empty();
}

} // namespace recording
