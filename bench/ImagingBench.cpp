// Image coding on a 5K screenshot-like picture: our PNG writer against Qt's default
// PNG writer on the same image, PNG writer settings side by side, JPEG encoding and
// PNG decoding. Output sizes are reported as the "bytes" counter.

#include "core/imaging/ImageCoding.h"
#include "core/imaging/PngEncoder.h"

#include "ScreenshotFixture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>

#include <benchmark/benchmark.h>

#include <png.h>
#include <zlib.h>

using namespace vorlix;

namespace {

const QImage& fixture()
{
    static const QImage image = bench::screenshotFixture();
    return image;
}

const QImage& translucentFixture()
{
    static const QImage image = [] {
        QImage i = fixture().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter p(&i);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(QRect(0, 0, i.width(), i.height() / 8), QColor(0, 0, 0, 0));
        return i;
    }();
    return image;
}

QByteArray qtDefaultPng(const QImage& image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return out;
}

void BM_PngEncodeQtDefault(benchmark::State& state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = qtDefaultPng(fixture()));
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_PngEncodeQtDefault)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngEncodeOurs(benchmark::State& state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = ImageCoding::encode(fixture(), ImageType::png, 2, 0.9).value());
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_PngEncodeOurs)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngEncodeTranslucentQtDefault(benchmark::State& state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = qtDefaultPng(translucentFixture()));
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_PngEncodeTranslucentQtDefault)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngEncodeTranslucentOurs(benchmark::State& state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = ImageCoding::encode(translucentFixture(), ImageType::png, 2, 0.9).value());
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_PngEncodeTranslucentOurs)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both writers on the same picture in each iteration: the speed-up and size ratio of
// ours over Qt's default PNG writer.
void BM_PngEncodeSideBySide(benchmark::State& state)
{
    double ours = 0;
    double qt = 0;
    qsizetype ourBytes = 0;
    qsizetype qtBytes = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        ourBytes = ImageCoding::encode(fixture(), ImageType::png, 2, 0.9)->size();
        ours += double(timer.nsecsElapsed());
        timer.restart();
        qtBytes = qtDefaultPng(fixture()).size();
        qt += double(timer.nsecsElapsed());
    }
    state.counters["speedup"] = qt / ours;
    state.counters["sizeRatio"] = double(ourBytes) / double(qtBytes);
}
BENCHMARK(BM_PngEncodeSideBySide)->Unit(benchmark::kMillisecond)->UseRealTime();

// Arguments: row filter mask, zlib level, zlib strategy.
void BM_PngEncodeSettings(benchmark::State& state)
{
    const PngEncoderSettings settings{int(state.range(0)), int(state.range(1)), int(state.range(2))};
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = encodePng(fixture(), 144, {}, settings).value());
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_PngEncodeSettings)
    ->ArgNames({"filter", "level", "strategy"})
    ->Args({PNG_FILTER_SUB, 1, Z_RLE})
    ->Args({PNG_FILTER_UP, 1, Z_RLE})
    ->Args({PNG_FILTER_AVG, 1, Z_RLE})
    ->Args({PNG_FILTER_PAETH, 1, Z_RLE})
    ->Args({PNG_ALL_FILTERS, 1, Z_RLE})
    ->Args({PNG_FILTER_UP, 1, Z_DEFAULT_STRATEGY})
    ->Args({PNG_FILTER_UP, 2, Z_DEFAULT_STRATEGY})
    ->Args({PNG_FILTER_UP, 3, Z_DEFAULT_STRATEGY})
    ->Args({PNG_FILTER_UP, 1, Z_FILTERED})
    ->Args({PNG_FILTER_PAETH, 1, Z_DEFAULT_STRATEGY})
    ->Args({PNG_ALL_FILTERS, 6, Z_FILTERED})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_JpegEncodeQuality90(benchmark::State& state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = ImageCoding::encode(fixture(), ImageType::jpeg, 2, 0.9).value());
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_JpegEncodeQuality90)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PngDecode(benchmark::State& state)
{
    static const QByteArray png = ImageCoding::encode(fixture(), ImageType::png, 2, 0.9).value();
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCoding::decode(png));
}
BENCHMARK(BM_PngDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegPreview1024(benchmark::State& state)
{
    static const QByteArray jpeg = ImageCoding::encode(fixture(), ImageType::jpeg, 2, 0.9).value();
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCoding::thumbnail(jpeg, 1024, false));
}
BENCHMARK(BM_JpegPreview1024)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
