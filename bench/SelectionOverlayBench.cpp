// The selection overlay on a real 5120 × 2880 X server: from the request to the frozen
// overlay's first pixels on the screen (freeze grab, windows, first paint), and one
// repaint while the pointer moves (frozen picture, veil, selection frame, loupe), each
// measured until the server shows the result. Runs on a private Xvfb desktop that it
// starts itself.

#include "app/capture/SelectionOverlay.h"
#include "app/capture/SelectionView.h"
#include "app/capture/SelectionWindows.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "platform/ScreenSource.h"
#include "support/EventLoopWaits.h"
#include "support/TaskWaits.h"
#include "support/desktop/FixtureWindow.h"

#include <QApplication>
#include <QMouseEvent>

#include <optional>

#include <benchmark/benchmark.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// A white window at the top-left corner: the overlay's veil darkens it, so the first
// overlay pixels on the screen can be seen.
struct Scene {
    std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    FixtureWindow white{whitePicture(), QPoint(0, 0), QStringLiteral("white")};
    // Kept from one overlay to the next, as the capture service does.
    SelectionWindows windows{settings};

    Scene() { white.showAndWait(); }

    static QImage whitePicture()
    {
        QImage picture(200, 200, QImage::Format_RGB32);
        picture.fill(Qt::white);
        return picture;
    }

    QRgb probe() const
    {
        ScreenGrab grab = source->grab(source->screens().front(), QRectF(10, 10, 1, 1));
        return std::holds_alternative<QImage>(grab) ? std::get<QImage>(grab).pixel(0, 0) : 0;
    }

    SelectionOverlaySetup frozenSetup()
    {
        SelectionOverlaySetup setup{
            .screens = source->screens(), .frozen = {}, .mode = SelectionMode::area(), .screenWindows = {}};
        for (const ScreenInfo& screen : setup.screens)
            if (ScreenGrab grab = source->grabScreen(screen); std::holds_alternative<QImage>(grab))
                setup.frozen[screen.id] = std::get<QImage>(grab);
        return setup;
    }
};

SelectionView* shownView()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* view = dynamic_cast<SelectionView*>(widget); view && view->isVisible())
            return view;
    return nullptr;
}

// With the argument 1, windows that keep nothing between overlays: new native windows
// and pixel buffers each time, as for the first overlay after the start.
void BM_OverlayFirstPaint5K(benchmark::State& state)
{
    Scene scene;
    const QRgb unveiled = scene.probe();
    for (auto _ : state) {
        std::optional<SelectionWindows> fresh;
        if (state.range(0) == 1)
            fresh.emplace(scene.settings);
        std::unique_ptr<SelectionOverlay> overlay =
            makeSelectionOverlay(scene.frozenSetup(), scene.settings, fresh ? &*fresh : &scene.windows);
        Running running = start(overlay->run());
        if (!waitUntil([&] { return scene.probe() != unveiled; })) {
            state.SkipWithError("the overlay never showed");
            return;
        }
        state.PauseTiming();
        overlay->close();
        running.wait();
        runDeferredDeletes();
        waitUntil([&] { return scene.probe() == unveiled; });
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OverlayFirstPaint5K)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OverlayRepaintOnPointerMove5K(benchmark::State& state)
{
    Scene scene;
    std::unique_ptr<SelectionOverlay> overlay =
        makeSelectionOverlay(scene.frozenSetup(), scene.settings, &scene.windows);
    Running running = start(overlay->run());
    SelectionView* view = nullptr;
    waitUntil([&] { return (view = shownView()) != nullptr; });
    processEventsFor(std::chrono::milliseconds(200));
    if (!view) {
        state.SkipWithError("no overlay");
        return;
    }
    // A drag under way: the selection frame, its label, the veil and the loupe all move.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1000, 800), QPointF(1000, 800), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    int step = 0;
    for (auto _ : state) {
        const QPointF to(2000 + (step % 50) * 7, 1500 + (step % 30) * 5);
        ++step;
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(scene.probe()); // a round trip: the server has drawn what was sent
    }
    overlay->close();
}
BENCHMARK(BM_OverlayRepaintOnPointerMove5K)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
