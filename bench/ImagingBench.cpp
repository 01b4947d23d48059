// Image coding on a 5K screenshot-like picture: our PNG writer against Qt's default
// PNG writer on the same image, our writer on full screens (5K and 1080p) against the
// single-threaded libpng writer it replaced, PNG writer settings side by side, JPEG
// encoding and PNG decoding. Output sizes are reported as the "bytes" counter.

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

// The writer used before bands: libpng writing every row on one thread with the fast
// settings. For RGB32 pictures only.
QByteArray singleThreadedLibpng(const QImage& image)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t length) {
            static_cast<QByteArray*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), qsizetype(length));
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_compression_buffer_size(png, 1 << 18);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

const QImage& fullHdFixture()
{
    static const QImage image = bench::screenshotFixture(1920, 1080);
    return image;
}

enum class Writer { ours, oursOnOneThread, singleThreadedLibpng, qtDefault };

// A full-screen capture written as PNG by each writer; compare under `taskset -c 0,1`.
void BM_PngEncodeScreen(benchmark::State& state, Writer writer, const QImage& (*picture)())
{
    const QImage& image = picture();
    PngEncoderSettings oneThread = PngEncoderSettings::fast();
    oneThread.maxThreads = 1;
    QByteArray out;
    for (auto _ : state) {
        switch (writer) {
        case Writer::ours:
            out = ImageCoding::encode(image, ImageType::png, 2, 0.9).value();
            break;
        case Writer::oursOnOneThread:
            out = encodePng(image, 144, {}, oneThread).value();
            break;
        case Writer::singleThreadedLibpng:
            out = singleThreadedLibpng(image);
            break;
        case Writer::qtDefault:
            out = qtDefaultPng(image);
            break;
        }
        benchmark::DoNotOptimize(out);
    }
    state.counters["bytes"] = double(out.size());
}
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 5K_ours, Writer::ours, fixture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 5K_ours_one_thread, Writer::oursOnOneThread, fixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 5K_single_threaded_libpng, Writer::singleThreadedLibpng, fixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 5K_qt_default, Writer::qtDefault, fixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 1080p_ours, Writer::ours, fullHdFixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 1080p_ours_one_thread, Writer::oursOnOneThread, fullHdFixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 1080p_single_threaded_libpng, Writer::singleThreadedLibpng, fullHdFixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 1080p_qt_default, Writer::qtDefault, fullHdFixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_CAPTURE(BM_PngEncodeScreen, 5K_translucent_ours, Writer::ours, translucentFixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PngEncodeScreen, 5K_translucent_ours_one_thread, Writer::oursOnOneThread, translucentFixture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PngEncodeTranslucentQtDefault(benchmark::State& state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = qtDefaultPng(translucentFixture()));
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_PngEncodeTranslucentQtDefault)->Unit(benchmark::kMillisecond)->UseRealTime();

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
