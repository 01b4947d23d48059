// The editor window on a real X server: a one-panel 5120 × 2880 shot opened in a new
// window until the window shows it, and the memory an open window holds and gives back
// when it closes. Runs on a private Xvfb desktop that it starts itself.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/window/EditorWindow.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "platform/ScreenSource.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"

#include "ScreenshotFixture.h"

#include <QApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// A shot as a capture hands it over: its image and the PNG made from it.
const QImage& shotImage()
{
    static const QImage image = bench::screenshotFixture(5120, 2880);
    return image;
}

const QByteArray& shotData()
{
    static const QByteArray data = pngOf(shotImage());
    return data;
}

// The process's resident memory in MB.
double residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

std::unique_ptr<EditorWindow> openShot(Settings& settings)
{
    auto document = std::make_unique<ProjectDocument>(settings);
    document->addImage(shotData(), "png", 2.0, "Aggiungi immagine", shotImage());
    auto window = std::make_unique<EditorWindow>(std::move(document), settings);
    window->show();
    return window;
}

void BM_OpenShotUntilShown5K(benchmark::State& state)
{
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    const std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    const ScreenInfo screen = source->screens().front();
    shotData();
    for (auto _ : state) {
        const std::unique_ptr<EditorWindow> window = openShot(settings);
        // Shown: the middle of the canvas on the screen holds the shot's pixels, not the
        // window's background.
        const auto shown = [&] {
            if (!window->windowHandle() || !window->windowHandle()->isExposed())
                return false;
            const QPoint middle = window->canvas().mapToGlobal(window->canvas().rect().center());
            ScreenGrab grab = source->grab(screen, QRectF(middle, QSizeF(1, 1)));
            return std::holds_alternative<QImage>(grab) &&
                   std::get<QImage>(grab).pixel(0, 0) != window->palette().window().color().rgb();
        };
        if (!waitUntil(shown)) {
            state.SkipWithError("the shot never showed");
            return;
        }
        state.PauseTiming();
        window->close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenShotUntilShown5K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MemoryOfAnOpenShot5K(benchmark::State& state)
{
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    shotData();
    for (auto _ : state) {
        const double before = residentMegabytes();
        {
            const std::unique_ptr<EditorWindow> window = openShot(settings);
            waitUntil([&] { return window->windowHandle() && window->windowHandle()->isExposed(); });
            processEventsFor(std::chrono::milliseconds(300));
            state.counters["openMB"] = residentMegabytes() - before;
            window->close();
        }
        runDeferredDeletes();
        processEventsFor(std::chrono::milliseconds(100));
        state.counters["afterCloseMB"] = residentMegabytes() - before;
    }
}
BENCHMARK(BM_MemoryOfAnOpenShot5K)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
