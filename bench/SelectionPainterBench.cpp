// The selection overlay's drawing on a 5120 × 2880 screen, at scale 1 and at scale 2
// (2560 × 1440 points): the first paint of the whole screen (frozen picture, veil,
// loupe), and the repaints of the changed region while the pointer moves, while a large
// selection is dragged and while the pointer moves from one window to another. Each
// repaint includes working out the region.

#include "ScreenshotFixture.h"
#include "app/capture/SelectionPainter.h"

#include <QPainter>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

const QImage& frozenScreen()
{
    static const QImage picture = bench::screenshotFixture(5120, 2880);
    return picture;
}

SelectionViewState screenAt(double scale, SelectionMode mode)
{
    SelectionViewState state;
    state.scale = scale;
    state.size = QSizeF(5120 / scale, 2880 / scale);
    state.frozen = frozenScreen();
    state.mode = mode;
    return state;
}

QImage targetFor(const SelectionViewState& state)
{
    QImage target(5120, 2880, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(state.scale);
    QPainter painter(&target);
    paintSelection(painter, state, state.bounds());
    return target;
}

// Repaints what changes between two states, back and forth.
void repaintBetween(benchmark::State& bench, const SelectionViewState& first, const SelectionViewState& second)
{
    QImage target = targetFor(first);
    const SelectionViewState* before = &first;
    const SelectionViewState* after = &second;
    qint64 points = 0;
    for (auto _ : bench) {
        const QRegion changed = changedRegion(*before, *after);
        QPainter painter(&target);
        paintSelection(painter, *after, changed);
        painter.end();
        for (const QRect& rect : changed)
            points += qint64(rect.width()) * rect.height();
        std::swap(before, after);
    }
    benchmark::DoNotOptimize(target.constBits());
    bench.counters["points"] = benchmark::Counter(double(points), benchmark::Counter::kAvgIterations);
}

void BM_FirstPaint(benchmark::State& bench)
{
    SelectionViewState state = screenAt(double(bench.range(0)), SelectionMode::area());
    state.mouse = QPointF(state.size.width() / 2, state.size.height() / 2);
    QImage target(5120, 2880, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(state.scale);
    for (auto _ : bench) {
        QPainter painter(&target);
        paintSelection(painter, state, state.bounds());
    }
    benchmark::DoNotOptimize(target.constBits());
}
BENCHMARK(BM_FirstPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_PointerMove(benchmark::State& bench)
{
    SelectionViewState first = screenAt(double(bench.range(0)), SelectionMode::area());
    first.mouse = QPointF(1200, 700);
    SelectionViewState second = first;
    second.mouse = QPointF(1203, 702);
    repaintBetween(bench, first, second);
}
BENCHMARK(BM_PointerMove)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A drag over most of the screen, its far corner moving a few points.
void BM_DragLargeSelection(benchmark::State& bench)
{
    SelectionViewState first = screenAt(double(bench.range(0)), SelectionMode::area());
    first.start = QPointF(100, 80);
    first.current = first.mouse = QPointF(first.size.width() * 0.8, first.size.height() * 0.8);
    SelectionViewState second = first;
    second.current = second.mouse = *first.current + QPointF(4, 3);
    repaintBetween(bench, first, second);
}
BENCHMARK(BM_DragLargeSelection)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The pointer crosses from one large window to another: both are tinted anew.
void BM_HoverChange(benchmark::State& bench)
{
    SelectionViewState first = screenAt(double(bench.range(0)), SelectionMode::window());
    const double w = first.size.width();
    const double h = first.size.height();
    first.windows = {{.id = 1, .rect = QRectF(0.05 * w, 0.1 * h, 0.45 * w, 0.6 * h)},
                     {.id = 2, .rect = QRectF(0.5 * w, 0.2 * h, 0.45 * w, 0.6 * h)}};
    first.mouse = QPointF(0.45 * w, 0.5 * h);
    SelectionViewState second = first;
    second.mouse = QPointF(0.55 * w, 0.5 * h);
    repaintBetween(bench, first, second);
}
BENCHMARK(BM_HoverChange)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
