#pragma once
// The board recorded as it runs: a frame grabbed at each frame's time, the mix heard, both
// encoded on a thread of their own so that the board's steps stay quick.
#include "recording/VideoFile.h"
#include "timing/Timing.h"

#include <QImage>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace recording {

class LiveRecording {
public:
    // Starts at once: frame n is the picture `frame` gives at n / fps s of `time` since now
    // (a late tick repeats the picture for the frames it missed). The sound is the mix heard,
    // silence where there is none. `failed` runs on the main thread when a write fails; it may
    // end the recording.
    LiveRecording(std::function<QImage()> frame, std::unique_ptr<VideoFile> file, timing::Source& time,
                  std::function<void(const std::string& error)> failed);
    // Finishes the file if finish() was not called.
    ~LiveRecording();
    LiveRecording(const LiveRecording&) = delete;
    LiveRecording& operator=(const LiveRecording&) = delete;

    // Stops grabbing and listening, writes what is left and ends the file; false with the reason.
    bool finish();
    const std::string& error() const { return error_; }

private:
    struct Frame {
        QImage picture;
        int count; // the frames it stands for
    };
    void tick();
    void encode();
    static void heard(void* self, unsigned char* stream, int len);

    std::function<QImage()> frame_;
    std::unique_ptr<VideoFile> file_;
    timing::Source& time_;
    std::function<void(const std::string&)> failed_;
    std::chrono::nanoseconds start_;
    std::unique_ptr<timing::Timer> timer_;
    int64_t framesDue_ = 0; // frames handed to the encoder so far
    QImage last_;           // the picture last grabbed
    std::string error_;
    bool finished_ = false;

    // Shared with the encoding thread.
    std::mutex framesLock_;
    std::condition_variable framesReady_;
    std::deque<Frame> frames_;
    bool ending_ = false;
    bool writeFailed_ = false;
    // Shared with the audio thread.
    std::mutex mixLock_;
    std::vector<int16_t> mix_;

    std::thread encoder_;
};

} // namespace recording
