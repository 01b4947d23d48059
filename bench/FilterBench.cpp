// Filtering a 2000 x 2000 region of a larger screenshot afresh: blur at four radii (the
// sampled kernel at 2, three boxes beyond) and pixelation with noise; and the same piece
// from a canvas's warm cache.

#include "core/render/Filters.h"
#include "core/render/RenderCache.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace vorlix;

namespace {

// Deterministic busy content: stripes and noise, opaque.
const QImage& screenshot()
{
    static const QImage image = [] {
        QImage img(2400, 2200, QImage::Format_RGBA8888_Premultiplied);
        std::uint32_t s = 12345;
        for (int y = 0; y < img.height(); ++y) {
            std::uint8_t* p = img.scanLine(y);
            for (int x = 0; x < img.width(); ++x, p += 4) {
                s = s * 1664525u + 1013904223u;
                p[0] = static_cast<std::uint8_t>((x / 7) * 13);
                p[1] = static_cast<std::uint8_t>((y / 5) * 29);
                p[2] = static_cast<std::uint8_t>(s >> 24);
                p[3] = 255;
            }
        }
        return img;
    }();
    return image;
}

const Rect region(150, 100, 2000, 2000);

void coldRegion(benchmark::State& state, Filters::FilterRequest request)
{
    const QImage& image = screenshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(Filters::regionImage(image, region, request));
}

void BM_BlurRegion(benchmark::State& state)
{
    coldRegion(state, {Filters::FilterMode::blur, static_cast<double>(state.range(0)), false});
}
BENCHMARK(BM_BlurRegion)->Arg(2)->Arg(8)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

void BM_PixelateRegion(benchmark::State& state)
{
    coldRegion(state, {Filters::FilterMode::pixelate, static_cast<double>(state.range(0)), true});
}
BENCHMARK(BM_PixelateRegion)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

// A decoded opaque screenshot (RGB32) is filtered in its own format.
void BM_BlurOpaqueScreenshot(benchmark::State& state)
{
    static const QImage opaque = screenshot().convertToFormat(QImage::Format_RGB32);
    for (auto _ : state)
        benchmark::DoNotOptimize(Filters::regionImage(opaque, region, {Filters::FilterMode::blur, 8, false}));
}
BENCHMARK(BM_BlurOpaqueScreenshot)->Unit(benchmark::kMillisecond);

void BM_WarmRegion(benchmark::State& state)
{
    const QImage& image = screenshot();
    const Filters::FilterRequest request{Filters::FilterMode::blur, 8, false};
    Renderer::RenderCache cache;
    cache.regionImage(image, region, request);
    for (auto _ : state)
        benchmark::DoNotOptimize(cache.regionImage(image, region, request));
}
BENCHMARK(BM_WarmRegion)->Unit(benchmark::kMicrosecond);

} // namespace
