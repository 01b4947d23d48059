// Screen grabs against a real X server: one full-screen grab of a 5120 × 2880 desktop (the
// freeze before the selection overlay opens), the rectangle the scrolling capture grabs
// per frame, and the window list. Grabs reuse their shared memory once the previous picture is
// let go; the first grab of a source pays for a new segment. Runs on a private Xvfb desktop that it starts itself.

#include "platform/ScreenSource.h"
#include "platform/x11/X11ScreenSource.h"

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

void grabOrSkip(benchmark::State& state, ScreenSource& source, const QRectF& points)
{
    const ScreenInfo screen = source.screens().front();
    for (auto _ : state) {
        ScreenGrab grab = source.grab(screen, points);
        if (!std::holds_alternative<QImage>(grab)) {
            state.SkipWithError("the grab failed");
            return;
        }
        benchmark::DoNotOptimize(std::get<QImage>(grab).constBits());
    }
}

void BM_GrabFullScreen5K(benchmark::State& state)
{
    const std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    const ScreenInfo screen = source->screens().front();
    grabOrSkip(state, *source, QRectF(QPointF(0, 0), QSizeF(screen.geometry.size())));
    state.SetBytesProcessed(state.iterations() * qint64(screen.geometry.width()) * screen.geometry.height() * 4);
}
BENCHMARK(BM_GrabFullScreen5K)->Unit(benchmark::kMillisecond)->UseRealTime();

// Without MIT-SHM the pixels come in the reply and are copied out of it.
void BM_GrabFullScreen5KWithoutSharedMemory(benchmark::State& state)
{
    const std::unique_ptr<ScreenSource> source = makeX11ScreenSource(false);
    const ScreenInfo screen = source->screens().front();
    grabOrSkip(state, *source, QRectF(QPointF(0, 0), QSizeF(screen.geometry.size())));
}
BENCHMARK(BM_GrabFullScreen5KWithoutSharedMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first grab of a source: a new shared segment, whose pages the server touches first.
void BM_FirstGrabFullScreen5K(benchmark::State& state)
{
    for (auto _ : state) {
        const std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
        const ScreenInfo screen = source->screens().front();
        ScreenGrab grab = source->grabScreen(screen);
        if (!std::holds_alternative<QImage>(grab)) {
            state.SkipWithError("the grab failed");
            return;
        }
        benchmark::DoNotOptimize(std::get<QImage>(grab).constBits());
    }
}
BENCHMARK(BM_FirstGrabFullScreen5K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GrabScrollingFrame1200x800(benchmark::State& state)
{
    const std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    grabOrSkip(state, *source, QRectF(400, 300, 1200, 800));
}
BENCHMARK(BM_GrabScrollingFrame1200x800)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScreensAndWindowList(benchmark::State& state)
{
    const std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    for (auto _ : state) {
        benchmark::DoNotOptimize(source->screens());
        benchmark::DoNotOptimize(source->windowsFrontToBack());
    }
}
BENCHMARK(BM_ScreensAndWindowList)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
