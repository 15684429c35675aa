#pragma once
// A video file written as the recording goes: H.264 pictures with AAC sound in fragmented MP4, or
// with FLAC sound in Matroska. Fragments of at most a second go to the disk at once, so a file
// cut off by a crash or a full disk still plays up to its last fragment. The same frames and
// samples give the same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace recording {

struct VideoFormat {
    int width = 0, height = 0;
    int fps = 30;
    int sampleRate = 44100;
    int channels = 2;
};

class VideoFile {
public:
    // Opens `path` + ".part" for writing; the extension (.mp4 or .mkv) chooses the container.
    // nullptr, with the reason in `error` (one line naming the file), when the extension is
    // unknown, the folder is missing or cannot be written, or an encoder cannot be opened.
    static std::unique_ptr<VideoFile> create(const std::string& path, const VideoFormat& format, std::string* error);
    // Without finish(), the .part stays as it is, playable up to its last fragment.
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    const VideoFormat& format() const;
    // The next frame (frame n shows at n / fps s): width × height pixels 0xffRRGGBB, as
    // QImage::Format_RGB32 holds them. An odd size is padded to even with black.
    bool addFrame(const uint8_t* pixels, int bytesPerLine);
    // The next interleaved signed 16-bit samples (sample n sounds at n / sampleRate s).
    bool addSamples(const int16_t* samples, std::size_t frames);
    // Flushes the encoders, ends the file and gives it its name.
    bool finish();
    // Why the last call failed, one line naming the file.
    const std::string& error() const;

private:
    struct Impl;
    explicit VideoFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace recording
