// Scrolling capture on a 5K screen: adding 5120 x 2880 frames (conversion, row
// signatures, shift search, keeping the new rows) and making a 30,000-row image.

#include "core/analysis/ScrollStitcher.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace vorlix;

namespace {

constexpr int frameWidth = 5120;
constexpr int frameHeight = 2880;

// The screen area showing rows top ... top + 2879 of an endless page whose rows all
// differ, in the capture's usual RGB32 layout.
QImage frameAt(int top)
{
    QImage image(frameWidth, frameHeight, QImage::Format_RGB32);
    for (int y = 0; y < frameHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        std::mt19937 random(static_cast<unsigned>(top + y));
        const std::uint32_t base = random();
        for (int x = 0; x < frameWidth; ++x)
            row[x] = 0xFF000000u | (base + static_cast<std::uint32_t>(x) * 2654435761u);
    }
    return image;
}

// A frame scrolled by 100 rows against the held content: the usual case.
void BM_AddScrolledFrame(benchmark::State& state)
{
    const QImage first = frameAt(0);
    const QImage next = frameAt(100);
    std::unique_ptr<ScrollStitcher> stitcher;
    for (auto _ : state) {
        state.PauseTiming();
        stitcher.reset(); // freeing the held rows is not part of adding
        stitcher = std::make_unique<ScrollStitcher>();
        stitcher->add(first);
        state.ResumeTiming();
        benchmark::DoNotOptimize(stitcher->add(next));
    }
}
BENCHMARK(BM_AddScrolledFrame)->Unit(benchmark::kMillisecond);

// A frame that matches nowhere: every shift is tried in both directions.
void BM_AddUnmatchedFrame(benchmark::State& state)
{
    ScrollStitcher stitcher;
    stitcher.add(frameAt(0));
    const QImage other = frameAt(1000000);
    for (auto _ : state)
        benchmark::DoNotOptimize(stitcher.add(other));
}
BENCHMARK(BM_AddUnmatchedFrame)->Unit(benchmark::kMillisecond);

// The first frame: converted and kept whole.
void BM_AddFirstFrame(benchmark::State& state)
{
    const QImage first = frameAt(0);
    std::unique_ptr<ScrollStitcher> stitcher;
    for (auto _ : state) {
        state.PauseTiming();
        stitcher.reset();
        stitcher = std::make_unique<ScrollStitcher>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(stitcher->add(first));
    }
}
BENCHMARK(BM_AddFirstFrame)->Unit(benchmark::kMillisecond);

// A 30,000-row result joined from frames scrolled 2,000 rows apart.
void BM_MakeTallImage(benchmark::State& state)
{
    ScrollStitcher stitcher;
    for (int top = 0; stitcher.height() < 30000; top += 2000)
        stitcher.add(frameAt(top));
    for (auto _ : state)
        benchmark::DoNotOptimize(stitcher.makeImage());
    state.counters["rows"] = stitcher.height();
}
BENCHMARK(BM_MakeTallImage)->Unit(benchmark::kMillisecond);

} // namespace
