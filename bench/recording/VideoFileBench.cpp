// The encoder alone: frames of the real board at scales 1, 3 and 4, with their sound, written to
// a file. Prints seconds of video per second of wall time and bytes per minute of video. And
// what the live recording costs the board's own thread per frame: grabbing its picture.
#include "board/Form1.h"
#include "recording/VideoFile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// Ten pictures of the board, each with other fares, in the pixel format the recorder hands over.
std::vector<QImage> boardPictures(int scale) {
    Form1 board;
    board.copyBuiltinPicture();
    board.setScale(static_cast<int16_t>(scale));
    std::vector<QImage> pictures;
    for (int p = 0; p < 10; ++p) {
        board.zeroAll();
        for (int cell = 1; cell <= 32; ++cell) board.setFare(cell, static_cast<int16_t>(100 + 10 * ((cell + p) % 50)));
        pictures.push_back(board.boardImage().convertToFormat(QImage::Format_RGB32));
    }
    return pictures;
}

// Arguments: the board's scale and the frame rate. Each picture stays for a third of a second,
// as fares and the clock change no faster on the board.
void BM_VideoFile(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0)), fps = static_cast<int>(state.range(1));
    const std::vector<QImage> pictures = boardPictures(scale);
    constexpr int Seconds = 4;
    const std::vector<int16_t> silence(2 * 44100 / static_cast<std::size_t>(fps));
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("bench.mp4")).toStdString();
    for (auto _ : state) {
        std::string error;
        auto file =
            recording::VideoFile::create(path, {pictures[0].width(), pictures[0].height(), fps, 44100, 2}, &error);
        if (!file) {
            state.SkipWithError(error.c_str());
            return;
        }
        for (int n = 0; n < Seconds * fps; ++n) {
            const QImage& p = pictures[static_cast<std::size_t>(n * 3 / fps) % pictures.size()];
            file->addFrame(p.constBits(), static_cast<int>(p.bytesPerLine()));
            file->addSamples(silence.data(), silence.size() / 2);
        }
        file->finish();
    }
    const double seconds = static_cast<double>(state.iterations()) * Seconds;
    state.counters["video_s_per_s"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    state.counters["bytes_per_min"] =
        static_cast<double>(QFileInfo(QString::fromStdString(path)).size()) * 60 / Seconds;
    state.SetLabel(
        QStringLiteral("%1x%2 at %3 fps").arg(pictures[0].width()).arg(pictures[0].height()).arg(fps).toStdString());
}
BENCHMARK(BM_VideoFile)
    ->Args({1, 30})
    ->Args({3, 30})
    ->Args({4, 30})
    ->Args({4, 60})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Argument: the board's scale.
void BM_BoardGrab(benchmark::State& state) {
    Form1 board;
    board.copyBuiltinPicture();
    board.setScale(static_cast<int16_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(board.boardImage());
}
BENCHMARK(BM_BoardGrab)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
