#pragma once
// `ferio --record`: a ride recorded to a video file on a time of its own, with no window shown
// and no sound card, as fast as the machine renders it.
#include "app/CommandLine.h"
#include "recording/RecordingTime.h"

#include <QImage>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>

class Ferio;
namespace recording {
class VideoFile;
}

class RideRecording {
public:
    // Opens the file for the board at `boardSize`; none, with the reason on standard error, when it
    // cannot be written.
    static std::unique_ptr<RideRecording> open(const CommandLine& line, QSize boardSize);
    ~RideRecording();

    // The time the program must run on while it records.
    recording::RecordingTime& time() { return time_; }
    // Rides the command line's route and records it; the process's exit status.
    int record(Ferio& ferio);
    // Sees each frame's picture as it goes to the file, with its number.
    void watchFrames(std::function<void(std::int64_t frame, const QImage& picture)> watcher) {
        watcher_ = std::move(watcher);
    }

private:
    RideRecording(const CommandLine& line, std::unique_ptr<recording::VideoFile> file);

    const CommandLine& line_;
    recording::RecordingTime time_;
    std::unique_ptr<recording::VideoFile> file_;
    std::function<void(std::int64_t, const QImage&)> watcher_;
};
