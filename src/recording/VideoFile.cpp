#include "recording/VideoFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace recording {
namespace {

// x264's settings, chosen with bench_video_file: a 4x board at 60 frames a second must encode
// in real time on two cores, and its sharp dots must come back at 35 dB or better. The colour
// conversion takes the nearest chroma: its smoother kinds cost more time than x264 itself.
constexpr const char* VideoPreset = "veryfast";
constexpr const char* VideoTune = "animation";
// No B-frames and no look-ahead: at 4x, x264's look-ahead would hold some 200 MB of pictures, and
// a file cut off loses no more than the pictures under way.
constexpr const char* VideoParams = "bframes=0:rc-lookahead=0:sync-lookahead=0";
constexpr const char* VideoQuality = "20"; // crf
constexpr int AacBitRate = 192000;
// Fragments and clusters of at most a second, in microseconds and milliseconds.
constexpr const char* FragmentUs = "1000000";
constexpr const char* ClusterMs = "1000";
// Pictures waiting for the encoding thread at most.
constexpr std::size_t MaxWaiting = 4;

struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    void operator()(AVFrame* f) const { av_frame_free(&f); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
    void operator()(SwrContext* s) const { swr_free(&s); }
    void operator()(SwsContext* s) const { sws_freeContext(s); }
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
    void operator()(AVFormatContext* f) const {
        avio_closep(&f->pb);
        avformat_free_context(f);
    }
};
template <typename T>
using Owned = std::unique_ptr<T, CodecFree>;

std::string said(const char* text, const std::string& path) { return std::string(text) + "：" + path; }

std::string writeFailure(int code, const std::string& path) {
    if (code == AVERROR(ENOSPC) || code == AVERROR(EFBIG) || code == AVERROR(EDQUOT))
        return said("録画を書き込めません（ディスクに空きがありません）", path);
    char text[AV_ERROR_MAX_STRING_SIZE];
    av_strerror(code, text, sizeof text);
    return said("録画を書き込めません", path) + "（" + text + "）";
}

struct Stream {
    Owned<AVCodecContext> codec;
    AVStream* stream = nullptr;
    Owned<AVFrame> frame;
};

// An encoder of the codec `name`, with the settings `set` gives it, and its stream in `out`.
Stream openStream(AVFormatContext* out, const char* name, const std::function<void(AVCodecContext*)>& set) {
    Stream s;
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) return s;
    s.codec.reset(avcodec_alloc_context3(codec));
    set(s.codec.get());
    s.codec->flags |= AV_CODEC_FLAG_BITEXACT;
    if (out->oformat->flags & AVFMT_GLOBALHEADER) s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    s.stream = avformat_new_stream(out, nullptr);
    s.frame.reset(av_frame_alloc());
    if (avcodec_open2(s.codec.get(), codec, nullptr) < 0 ||
        avcodec_parameters_from_context(s.stream->codecpar, s.codec.get()) < 0)
        s.codec.reset();
    else
        s.stream->time_base = s.codec->time_base;
    return s;
}

} // namespace

struct VideoFile::Impl {
    std::string path, part;
    VideoFormat format;
    std::string error;
    Owned<AVFormatContext> out;
    Owned<AVPacket> packet{av_packet_alloc()};
    Stream video, audio;
    Owned<SwsContext> toYuv;
    Owned<SwrContext> toSamples;
    Owned<AVAudioFifo> pending; // samples short of a whole audio frame
    int64_t framesWritten = 0, samplesWritten = 0;

    // The encoding runs on a thread of its own, in the order things were given, so the caller
    // draws the next picture meanwhile. A picture is one buffer of the even size, 4 bytes a pixel.
    struct Work {
        std::vector<uint8_t> picture;
        std::vector<int16_t> samples;
    };
    std::mutex lock;
    std::condition_variable changed;
    std::deque<Work> queue;
    std::vector<std::vector<uint8_t>> spare; // pictures encoded, to be filled again
    bool ending = false, failed = false;
    std::thread worker;

    bool fail(std::string why) {
        error = std::move(why);
        return false;
    }

    void work() {
        for (;;) {
            Work next;
            {
                std::unique_lock held(lock);
                changed.wait(held, [&] { return ending || !queue.empty(); });
                if (queue.empty()) return;
                next = std::move(queue.front());
                queue.pop_front();
            }
            const bool done = next.picture.empty() ? writeSamples(next.samples) : writePicture(next.picture);
            const std::lock_guard held(lock);
            if (!next.picture.empty()) spare.push_back(std::move(next.picture));
            failed = failed || !done;
            changed.notify_all();
        }
    }
    // Hands work to the thread; waits while a few pictures are already waiting, so memory stays
    // bounded when the encoder is the slower. False once a write has failed.
    bool give(Work work) {
        std::unique_lock held(lock);
        changed.wait(held, [&] { return failed || queue.size() < MaxWaiting; });
        if (failed) return false;
        queue.push_back(std::move(work));
        changed.notify_all();
        return true;
    }
    // Ends the thread after what it was given; false when a write failed.
    bool stopWorking() {
        {
            const std::lock_guard held(lock);
            ending = true;
        }
        changed.notify_all();
        if (worker.joinable()) worker.join();
        return !failed;
    }

    bool writePicture(const std::vector<uint8_t>& pixels);
    bool writeSamples(const std::vector<int16_t>& samples);

    // Sends a frame (nullptr: the end) to an encoder and writes what comes out.
    bool encode(Stream& s, const AVFrame* frame) {
        int r = avcodec_send_frame(s.codec.get(), frame);
        while (r >= 0) {
            r = avcodec_receive_packet(s.codec.get(), packet.get());
            if (r < 0) break;
            av_packet_rescale_ts(packet.get(), s.codec->time_base, s.stream->time_base);
            packet->stream_index = s.stream->index;
            r = av_interleaved_write_frame(out.get(), packet.get());
        }
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) r = 0;
        if (r >= 0 && out->pb->error < 0) r = out->pb->error;
        return r >= 0 || fail(writeFailure(r, part));
    }

    // Encodes `count` of the pending samples as one audio frame.
    bool encodePending(int count) {
        AVFrame* f = audio.frame.get();
        if (av_frame_make_writable(f) < 0) return fail(writeFailure(AVERROR(ENOMEM), part));
        f->nb_samples = count;
        av_audio_fifo_read(pending.get(), reinterpret_cast<void**>(f->data), count);
        f->pts = samplesWritten;
        samplesWritten += count;
        return encode(audio, f);
    }
};

VideoFile::VideoFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
    impl_->worker = std::thread([f = impl_.get()] { f->work(); });
}
VideoFile::~VideoFile() { impl_->stopWorking(); }

std::unique_ptr<VideoFile> VideoFile::create(const std::string& path, const VideoFormat& format, std::string* error) {
    const auto refuse = [&](std::string why) {
        if (error) *error = std::move(why);
        return nullptr;
    };
    const std::filesystem::path file(path);
    const std::string extension = file.extension().string();
    const bool mp4 = extension == ".mp4", mkv = extension == ".mkv";
    if (!mp4 && !mkv) return refuse(said("録画できるのは .mp4 と .mkv のファイルです", path));
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return refuse(said("録画を保存するフォルダがありません", path));
    if (access(folder.c_str(), W_OK) != 0) return refuse(said("録画を保存するフォルダに書き込めません", path));

    av_log_set_level(AV_LOG_ERROR); // the encoders' statistics are nobody's business on the terminal
    auto impl = std::make_unique<Impl>();
    Impl& f = *impl;
    f.path = path;
    f.part = path + ".part";
    f.format = format;
    AVFormatContext* out = nullptr;
    avformat_alloc_output_context2(&out, nullptr, mp4 ? "mp4" : "matroska", nullptr);
    if (!out) return refuse(said("録画のファイルを作れません", path));
    f.out.reset(out);
    out->flags |= AVFMT_FLAG_BITEXACT | AVFMT_FLAG_FLUSH_PACKETS;

    const int width = (format.width + 1) & ~1, height = (format.height + 1) & ~1;
    // MP4 is for sharing: half-resolution colour, which every player and site reads. Matroska,
    // with its lossless sound, is for editing: every pixel keeps its own colour.
    const AVPixelFormat chroma = mp4 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV444P;
    f.video = openStream(out, "libx264", [&](AVCodecContext* c) {
        c->width = width;
        c->height = height;
        c->pix_fmt = chroma;
        c->time_base = {1, format.fps};
        c->framerate = {format.fps, 1};
        c->gop_size = format.fps; // every fragment can be decoded on its own
        c->colorspace = AVCOL_SPC_SMPTE170M;
        c->color_primaries = AVCOL_PRI_SMPTE170M;
        c->color_trc = AVCOL_TRC_SMPTE170M;
        c->color_range = AVCOL_RANGE_MPEG;
        av_opt_set(c->priv_data, "preset", VideoPreset, 0);
        av_opt_set(c->priv_data, "tune", VideoTune, 0);
        av_opt_set(c->priv_data, "crf", VideoQuality, 0);
        av_opt_set(c->priv_data, "x264-params", VideoParams, 0);
    });
    if (!f.video.codec) return refuse(said("録画の映像の符号化を始められません", path));
    f.audio = openStream(out, mp4 ? "aac" : "flac", [&](AVCodecContext* c) {
        c->sample_fmt = mp4 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
        c->sample_rate = format.sampleRate;
        c->time_base = {1, format.sampleRate};
        av_channel_layout_default(&c->ch_layout, format.channels);
        if (mp4) c->bit_rate = AacBitRate;
    });
    if (!f.audio.codec) return refuse(said("録画の音声の符号化を始められません", path));

    AVFrame* picture = f.video.frame.get();
    picture->format = chroma;
    picture->width = width;
    picture->height = height;
    AVFrame* sound = f.audio.frame.get();
    sound->format = f.audio.codec->sample_fmt;
    sound->sample_rate = format.sampleRate;
    sound->nb_samples = f.audio.codec->frame_size;
    av_channel_layout_copy(&sound->ch_layout, &f.audio.codec->ch_layout);
    f.toYuv.reset(
        sws_getContext(width, height, AV_PIX_FMT_RGB32, width, height, chroma, SWS_POINT, nullptr, nullptr, nullptr));
    SwrContext* swr = nullptr;
    AVChannelLayout interleaved;
    av_channel_layout_default(&interleaved, format.channels);
    swr_alloc_set_opts2(&swr, &f.audio.codec->ch_layout, f.audio.codec->sample_fmt, format.sampleRate, &interleaved,
                        AV_SAMPLE_FMT_S16, format.sampleRate, 0, nullptr);
    f.toSamples.reset(swr);
    f.pending.reset(av_audio_fifo_alloc(f.audio.codec->sample_fmt, format.channels, f.audio.codec->frame_size));
    if (av_frame_get_buffer(picture, 0) < 0 || av_frame_get_buffer(sound, 0) < 0 || !f.toYuv || !swr ||
        swr_init(swr) < 0 || !f.pending)
        return refuse(said("録画の符号化を始められません", path));

    if (avio_open(&out->pb, f.part.c_str(), AVIO_FLAG_WRITE) < 0)
        return refuse(said("録画を保存するフォルダに書き込めません", path));
    AVDictionary* options = nullptr;
    if (mp4) {
        // Each fragment complete in itself, so that a file cut off still plays.
        av_dict_set(&options, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
        av_dict_set(&options, "frag_duration", FragmentUs, 0);
    } else {
        av_dict_set(&options, "cluster_time_limit", ClusterMs, 0);
    }
    const int written = avformat_write_header(out, &options);
    av_dict_free(&options);
    if (written < 0) {
        f.out.reset();
        std::remove(f.part.c_str());
        return refuse(writeFailure(written, path));
    }
    return std::unique_ptr<VideoFile>(new VideoFile(std::move(impl)));
}

const VideoFormat& VideoFile::format() const { return impl_->format; }

const std::string& VideoFile::error() const { return impl_->error; }

bool VideoFile::addFrame(const uint8_t* pixels, int bytesPerLine) {
    Impl& f = *impl_;
    const AVFrame* picture = f.video.frame.get();
    const auto line = static_cast<std::size_t>(picture->width) * 4, row = static_cast<std::size_t>(f.format.width) * 4;
    Impl::Work work;
    {
        const std::lock_guard held(f.lock);
        if (!f.spare.empty()) {
            work.picture = std::move(f.spare.back());
            f.spare.pop_back();
        }
    }
    // An odd size gets a black edge, so that every pixel coded is one given.
    work.picture.resize(line * static_cast<std::size_t>(picture->height));
    if (row != line || f.format.height != picture->height) std::fill(work.picture.begin(), work.picture.end(), 0);
    for (int y = 0; y < f.format.height; ++y)
        std::memcpy(work.picture.data() + static_cast<std::size_t>(y) * line, pixels + y * bytesPerLine, row);
    return f.give(std::move(work));
}

bool VideoFile::addSamples(const int16_t* samples, std::size_t frames) {
    Impl& f = *impl_;
    Impl::Work work;
    work.samples.assign(samples, samples + frames * static_cast<std::size_t>(f.format.channels));
    return f.give(std::move(work));
}

bool VideoFile::Impl::writePicture(const std::vector<uint8_t>& pixels) {
    AVFrame* picture = video.frame.get();
    if (av_frame_make_writable(picture) < 0) return fail(writeFailure(AVERROR(ENOMEM), part));
    const uint8_t* rows = pixels.data();
    const int line = picture->width * 4;
    sws_scale(toYuv.get(), &rows, &line, 0, picture->height, picture->data, picture->linesize);
    picture->pts = framesWritten++;
    return encode(video, picture);
}

bool VideoFile::Impl::writeSamples(const std::vector<int16_t>& samples) {
    const int frameSize = audio.codec->frame_size;
    const std::size_t frames = samples.size() / static_cast<std::size_t>(format.channels);
    // Converted a frame's worth at a time through the audio frame, then queued.
    AVFrame* scratch = audio.frame.get();
    for (std::size_t done = 0; done < frames;) {
        const int n = static_cast<int>(std::min<std::size_t>(frames - done, static_cast<std::size_t>(frameSize)));
        const auto* in =
            reinterpret_cast<const uint8_t*>(samples.data() + done * static_cast<std::size_t>(format.channels));
        if (av_frame_make_writable(scratch) < 0) return fail(writeFailure(AVERROR(ENOMEM), part));
        const int converted = swr_convert(toSamples.get(), scratch->data, n, &in, n);
        if (converted < 0 || av_audio_fifo_write(pending.get(), reinterpret_cast<void**>(scratch->data), converted) < 0)
            return fail(writeFailure(AVERROR(ENOMEM), part));
        done += static_cast<std::size_t>(n);
        while (av_audio_fifo_size(pending.get()) >= frameSize)
            if (!encodePending(frameSize)) return false;
    }
    return true;
}

bool VideoFile::finish() {
    Impl& f = *impl_;
    if (!f.stopWorking()) return false;
    if (const int rest = av_audio_fifo_size(f.pending.get()); rest > 0 && !f.encodePending(rest)) return false;
    if (!f.encode(f.video, nullptr) || !f.encode(f.audio, nullptr)) return false;
    if (const int r = av_write_trailer(f.out.get()); r < 0) return f.fail(writeFailure(r, f.part));
    if (const int r = avio_closep(&f.out->pb); r < 0) return f.fail(writeFailure(r, f.part));
    if (std::rename(f.part.c_str(), f.path.c_str()) != 0)
        return f.fail(said("録画のファイルを仕上げられません", f.path));
    return true;
}

} // namespace recording
