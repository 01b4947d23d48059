// The scrolling capture on a screen of scale 2, over a 1200 × 800-point area (2400 × 1600
// pixels): one turn of the capture loop (the grab of the area from the X server, the
// stitching of the frame and the count on the panel; goal 30 ms), with the page moved on
// between turns; and from "Fatto" until a 20,000-row result is in the history folder (the
// stitched image made, encoded as PNG and written; goal 1 s). The counters tell the memory
// the stitched rows take against the bytes of the rows themselves.

#include "app/capture/CaptureService.h"
#include "app/capture/ScrollCaptureControl.h"
#include "core/analysis/ScrollStitcher.h"
#include "core/formats/HistoryStore.h"
#include "platform/ScreenSource.h"
#include "support/EventLoopWaits.h"

#include "ScreenshotFixture.h"

#include <QPainter>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// Before the application starts: the screen at two device pixels a point.
const bool scaled = qputenv("QT_SCALE_FACTOR", "2");

const QSizeF area(1200, 800);

// A page row of busy content: every row differs from every other.
void fillRow(std::uint32_t* row, int width, int index)
{
    std::mt19937 random(static_cast<unsigned>(index));
    const std::uint32_t base = random();
    for (int x = 0; x < width; ++x)
        row[x] = 0xFF000000u | (base + static_cast<std::uint32_t>(x) * 2654435761u);
}

// Shows rows `top` … of an endless page, in device pixels.
class PageWindow final : public QRasterWindow {
public:
    PageWindow()
    {
        setFlag(Qt::X11BypassWindowManagerHint);
        setGeometry(QRect(QPoint(0, 0), area.toSize()));
    }

    void scrollTo(int top)
    {
        m_top = top;
        m_painted = false;
        update();
        waitUntil([this] { return m_painted; });
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const qreal ratio = devicePixelRatio();
        QImage rows((area * ratio).toSize(), QImage::Format_RGB32);
        for (int y = 0; y < rows.height(); ++y)
            fillRow(reinterpret_cast<std::uint32_t*>(rows.scanLine(y)), rows.width(), m_top + y);
        rows.setDevicePixelRatio(ratio);
        QPainter(this).drawImage(0, 0, rows);
        m_painted = true;
    }

private:
    int m_top = 0;
    bool m_painted = false;
};

// Resident memory of this process in bytes.
double residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * 4096;
}

void BM_ScrollingTurn(benchmark::State& state)
{
    if (!scaled)
        state.SkipWithError("no scale 2");
    const std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    const ScreenInfo screen = source->screens().front();
    PageWindow page;
    page.show();
    waitUntil([&] { return page.isExposed(); });
    ScrollCaptureControl control(Rect(0, 0, area.width(), area.height()), screen);
    std::optional<ScrollStitcher> stitcher(std::in_place);
    source->grab(screen, QRectF(QPointF(0, 0), area)); // the shared memory of the first grab
    const double startBytes = residentBytes();
    int top = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (stitcher->height() > ScrollStitcher::maximumHeight - 2000) {
            stitcher.emplace();
            top = 0;
        }
        page.scrollTo(top);
        top += 200; // 100 points a turn: a brisk scroll
        // The server has drawn the page before the turn begins, as after the pause.
        source->grab(screen, QRectF(0, 0, 1, 1));
        state.ResumeTiming();

        ScreenGrab frame = source->grab(screen, QRectF(QPointF(0, 0), area));
        if (const QImage* image = std::get_if<QImage>(&frame)) {
            stitcher->add(*image);
            control.update(stitcher->height(), screen.devicePixelRatio);
        } else {
            state.SkipWithError("the grab failed");
            break;
        }
    }
    state.counters["rows"] = stitcher->height();
    state.counters["rowMB"] = double(stitcher->height()) * stitcher->width() * 4 / 1e6;
    state.counters["residentGrowthMB"] = (residentBytes() - startBytes) / 1e6;
}
BENCHMARK(BM_ScrollingTurn)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Fatto" with 20,000 stitched rows: the image, its PNG, the history file. The pause the
// loop may still be in is cut short by "Fatto" and is not part of this. Arg 0: the whole
// way; 1: the image alone; 2: the PNG alone; 3: the history file alone.
void BM_FattoToHistory20000Rows(benchmark::State& state)
{
    const int part = int(state.range(0));
    // A page that encodes as a real one does, held as one block of rows; made once.
    static const auto page = [] {
        auto stitcher = std::make_unique<ScrollStitcher>();
        stitcher->add(bench::screenshotFixture(int(area.width() * 2), 20000));
        return stitcher;
    }();
    const ScrollStitcher& full = *page;
    static const QImage made = *full.makeImage();
    static const CapturedShot ready =
        std::get<CapturedShot>(finishedShot(made, 2, CaptureKind::scrolling, std::nullopt));
    QTemporaryDir folder;
    const HistoryStore history(folder.path(), QStringLiteral("Scatto"));
    const auto store = [&](const CapturedShot& shot) {
        HistoryEntry entry;
        entry.id = QUuid::createUuid();
        entry.date = QDateTime::currentDateTimeUtc();
        entry.captureKind = CaptureKind::scrolling;
        entry.pixelWidth = shot.image.width();
        entry.pixelHeight = shot.image.height();
        entry.pixelsPerPoint = 2;
        benchmark::DoNotOptimize(history.add(shot.pngData, entry, shot.image));
    };
    for (auto _ : state) {
        switch (part) {
        case 0: {
            const std::optional<QImage> image = full.makeImage();
            const std::variant<CapturedShot, CaptureError> shot =
                finishedShot(*image, 2, CaptureKind::scrolling, std::nullopt);
            store(std::get<CapturedShot>(shot));
            break;
        }
        case 1:
            benchmark::DoNotOptimize(full.makeImage());
            break;
        case 2:
            benchmark::DoNotOptimize(finishedShot(made, 2, CaptureKind::scrolling, std::nullopt));
            break;
        default:
            store(ready);
        }
    }
    state.counters["pngMB"] = ready.pngData.size() / 1e6;
}
BENCHMARK(BM_FattoToHistory20000Rows)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
