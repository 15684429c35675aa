#pragma once
// Records the program on a time of its own: the time moves from one timer to the next, and at
// every frame's time the board's picture, with the mix up to that time, goes to the file. A frame
// shows everything that happened up to and at its time; a sound started at a time begins at that
// time's sample.
#include "recording/RecordingTime.h"

#include <QImage>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace recording {

class VideoFile;

struct RecorderSources {
    std::function<QImage()> frame;                         // the board's own painting, now
    std::function<void(std::int16_t*, std::size_t)> sound; // the next stereo frames of the mix
    std::function<void()> events;                          // lets the program handle what is pending
};

class Recorder {
public:
    // At the file's frame rate and sample rate.
    Recorder(RecordingTime& time, VideoFile& file, RecorderSources sources);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Records until `end`, or until `done` says so (asked before each frame), running the
    // program's timers as their times come. `progress` is called after each frame. False when
    // the file could not be written (VideoFile::error says why).
    bool run(std::chrono::nanoseconds end, const std::function<bool()>& done,
             const std::function<void()>& progress = {});

    std::int64_t frames() const { return frames_; }
    // The time of frame `n`: the first nanosecond at or after n / fps s.
    std::chrono::nanoseconds frameTime(std::int64_t n) const;

private:
    // Every frame whose time is before `to`, and the sound up to `to`.
    void recordTo(std::chrono::nanoseconds to);
    void soundTo(std::chrono::nanoseconds to);

    RecordingTime& time_;
    VideoFile& file_;
    RecorderSources sources_;
    std::int64_t frames_ = 0;
    std::int64_t samples_ = 0;
    std::vector<std::int16_t> mix_;
    bool failed_ = false;
};

} // namespace recording
