// From a finished shot to the quick preview painted on screen, for a 5120 × 2880 and a
// 1920 × 1080 shot: the goal is at most 50 ms. The thumbnail's scaling is measured on
// its own as well. Offscreen.

#include "app/shell/panels/PreviewThumbnail.h"
#include "app/shell/panels/QuickPreview.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include "ScreenshotFixture.h"

#include <QCoreApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

CapturedShot shotOf(int width, int height)
{
    CapturedShot shot;
    shot.image = bench::screenshotFixture(width, height);
    shot.pixelsPerPoint = 2;
    return shot;
}

void BM_ShotToPreviewShown(benchmark::State& state)
{
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    QuickPreview preview(settings);
    const CapturedShot shot = shotOf(int(state.range(0)), int(state.range(1)));
    const QDateTime date = QDateTime::currentDateTime();
    for (auto _ : state) {
        preview.show(shot, date);
        preview.panel()->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        preview.close();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShotToPreviewShown)->Args({5120, 2880})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_ThumbnailPicture(benchmark::State& state)
{
    const QImage image = bench::screenshotFixture(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PreviewThumbnail::scaledPicture(image, {480, 270}));
}
BENCHMARK(BM_ThumbnailPicture)->Args({5120, 2880})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

} // namespace
