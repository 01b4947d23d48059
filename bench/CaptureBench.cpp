// Captures through the capture service on a real X server, measured the way a person
// meets them: a full-screen capture until the shot holds its PNG bytes, side by side with
// a grab written by Qt's PNG writer; and an area capture from the request until the frozen
// overlay's first pixels are on the screen. Built once for a 5120 × 2880 desktop and once
// for 1920 × 1080; each program starts its own Xvfb.

#include "app/capture/CaptureService.h"
#include "app/capture/SelectionView.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "platform/ScreenSource.h"
#include "support/EventLoopWaits.h"
#include "support/TaskWaits.h"
#include "support/desktop/FixtureWindow.h"

#include "ScreenshotFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// A desktop of windows, text and pictures over the whole screen, which encodes as a real
// one does.
QImage desktopPicture()
{
    const QSize size = QGuiApplication::primaryScreen()->geometry().size();
    return bench::screenshotFixture(size.width(), size.height());
}

// The service as the application holds it: one source, prepared at start-up, over a
// desktop-like picture, on which the overlay's veil can be seen.
struct Capturing {
    std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    CaptureService service{*source, settings};
    FixtureWindow desktop{desktopPicture(), QPoint(0, 0), QStringLiteral("desktop")};

    Capturing()
    {
        desktop.showAndWait();
        service.prepare();
        processEventsFor(std::chrono::milliseconds(500));
    }

    QRgb probe() const
    {
        ScreenGrab grab = source->grab(source->screens().front(), QRectF(10, 10, 1, 1));
        return std::holds_alternative<QImage>(grab) ? std::get<QImage>(grab).pixel(0, 0) : 0;
    }
};

void labelWithScreen(benchmark::State& state, const ScreenSource& source)
{
    const QSize size = source.screens().front().geometry.size();
    state.SetLabel(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
}

void BM_CaptureFullScreenWithPng(benchmark::State& state)
{
    Capturing capturing;
    for (auto _ : state) {
        const std::optional<CaptureOutcome> outcome = start(capturing.service.captureFullScreen()).wait();
        const auto* shot = outcome ? std::get_if<std::optional<CapturedShot>>(&*outcome) : nullptr;
        if (!shot || !*shot || (*shot)->pngData.isEmpty()) {
            state.SkipWithError("no shot");
            return;
        }
        state.counters["bytes"] = double((*shot)->pngData.size());
    }
    labelWithScreen(state, *capturing.source);
}
BENCHMARK(BM_CaptureFullScreenWithPng)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same screen grabbed and written by Qt's own PNG writer, for comparison.
void BM_GrabWithQtPngWriter(benchmark::State& state)
{
    Capturing capturing;
    ScreenSource* source = capturing.source.get();
    const ScreenInfo screen = source->screens().front();
    for (auto _ : state) {
        ScreenGrab grab = source->grabScreen(screen);
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(std::get<QImage>(grab));
        state.counters["bytes"] = double(data.size());
    }
    labelWithScreen(state, *source);
}
BENCHMARK(BM_GrabWithQtPngWriter)->Unit(benchmark::kMillisecond)->UseRealTime();

SelectionView* keyView() { return dynamic_cast<SelectionView*>(QWidget::keyboardGrabber()); }

void BM_CaptureAreaUntilTheOverlayShows(benchmark::State& state)
{
    Capturing capturing;
    const QRgb unveiled = capturing.probe();
    for (auto _ : state) {
        Running running = start(capturing.service.captureArea());
        if (!waitUntil([&] { return capturing.probe() != unveiled; })) {
            state.SkipWithError("the overlay never showed");
            return;
        }
        state.PauseTiming();
        waitUntil([] { return keyView() != nullptr; });
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(keyView(), &escape);
        running.wait();
        waitUntil([&] { return capturing.probe() == unveiled; });
        state.ResumeTiming();
    }
    labelWithScreen(state, *capturing.source);
}
BENCHMARK(BM_CaptureAreaUntilTheOverlayShows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
