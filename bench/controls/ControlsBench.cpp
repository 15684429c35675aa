// Figures for the two display controls: redraw costs, stop-name layout, and the processor time
// a scrolling name costs compared with stepping it as fast as the event loop allows.
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

namespace {

const QString kLongName = QString::fromUtf8("東京都庁前バスターミナル（西口）");

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void BM_DegitRedraw(benchmark::State& state) {
    M_Degit d;
    d.show();
    qint64 v = 0;
    for (auto _ : state) d.setValue(++v % 10000);
    QApplication::processEvents();
}
BENCHMARK(BM_DegitRedraw);

// The board's 32 fare displays and 32 small displays get new values, then the window repaints.
void BM_Board64Displays(benchmark::State& state) {
    QWidget board;
    board.resize(643, 240);
    std::vector<M_Degit*> displays;
    for (int i = 0; i < 32; ++i) {
        auto* fare = new M_Degit(&board);
        fare->move(20 * (i % 16) * 2, (i / 16) * 100 + 40);
        auto* small = new M_Degit(&board);
        small->setDegitSize(3);
        small->setKeta(2);
        small->move(20 * (i % 16) * 2, (i / 16) * 100 + 10);
        displays.push_back(fare);
        displays.push_back(small);
    }
    board.show();
    QApplication::processEvents();
    qint64 v = 0;
    for (auto _ : state) {
        ++v;
        for (M_Degit* d : displays) d->setValue(v % 1000);
        QApplication::processEvents(); // the repaint of every changed display
    }
}
BENCHMARK(BM_Board64Displays);

void BM_SetChimei(benchmark::State& state) {
    ChimeiCtl_B c;
    c.show();
    const QString name = state.range(0) == 6 ? QString::fromUtf8("本町一丁目南") : kLongName.left(20);
    for (auto _ : state) c.SetChimei(name);
    state.SetLabel(std::to_string(state.range(0)) + " characters");
}
BENCHMARK(BM_SetChimei)->Arg(6)->Arg(20)->Unit(benchmark::kMicrosecond);

// The scroll as stepped without a timer: every pass of the event loop moves the name by
// Speed / 200 px and repaints it at once, until the second is over.
double busyLoopCpu(ChimeiCtl_B& host, int16_t speed) {
    QImage dots(37, 32 * 16, QImage::Format_RGB32);
    dots.fill(Qt::black);
    QPainter(&dots).fillRect(2, 0, 30, dots.height(), Qt::yellow);
    struct Surface : QWidget {
        QImage* img = nullptr;
        void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, *img); }
    };
    auto* surface = new Surface;
    surface->setParent(&host);
    surface->img = &dots;
    surface->resize(dots.size());
    surface->show();
    const int viewport = 192;
    double p = viewport;
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < 1000) {
        QApplication::processEvents();
        p -= speed / 200.0;
        surface->move(0, static_cast<int>(p));
        surface->repaint();
        if (surface->y() + dots.height() <= -viewport) p = viewport;
        QApplication::processEvents();
    }
    const double cpu = cpuSeconds() - cpu0;
    delete surface;
    return cpu;
}

double timerScrollCpu(ChimeiCtl_B& c, int16_t speed) {
    c.setScrollStartWait(0);
    c.setSpeed(speed);
    c.SetChimei(kLongName);
    const double cpu0 = cpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpu0;
    c.SetChimei(QStringLiteral("東"));
    return cpu;
}

void BM_ScrollCpuPerSecond(benchmark::State& state) {
    ChimeiCtl_B c;
    c.show();
    const auto speed = static_cast<int16_t>(state.range(0));
    double timer = 0, busy = 0;
    for (auto _ : state) {
        timer = timerScrollCpu(c, speed);
        busy = busyLoopCpu(c, speed);
    }
    state.counters["timer_cpu_%"] = 100 * timer;
    state.counters["busy_loop_cpu_%"] = 100 * busy;
    state.counters["busy/timer"] = timer > 0 ? busy / timer : 0;
}
BENCHMARK(BM_ScrollCpuPerSecond)->Arg(5)->Arg(100)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
