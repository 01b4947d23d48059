// Background cut-out of screenshot-sized regions: a light window background with a
// tinted card holding text-like bars and a smooth disc, at the default sensitivity and at 1.0 (the
// fills then reach almost everything: the worst case for the flood), with 5 holes.

#include "core/analysis/CutOut.h"

#include <QPainter>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

QImage region(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(246, 246, 248));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 228, 240));
    painter.drawRoundedRect(QRectF(side * 0.15, side * 0.15, side * 0.7, side * 0.7), 24, 24);
    painter.setBrush(QColor(40, 44, 52));
    for (int line = 0; line < 20; ++line)
        painter.drawRect(
            QRectF(side * 0.2, side * (0.2 + line * 0.02), side * (0.3 + (line % 5) * 0.05), side * 0.008));
    painter.setBrush(QColor(30, 120, 220));
    painter.drawEllipse(QPointF(side * 0.65, side * 0.7), side * 0.12, side * 0.12);
    return image;
}

// Four clicks on text bars (each removes that bar) and one removal of the disc colour
// everywhere.
std::vector<CutOut::Hole> holes(int side)
{
    const double s = side;
    std::vector<CutOut::Hole> result;
    for (const int line : {1, 3, 5, 7})
        result.push_back({{s * 0.2 + 2, s * (0.204 + line * 0.02)}, false});
    result.push_back({{s * 0.65, s * 0.7}, true});
    return result;
}

void BM_RemoveBackground(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const double sensitivity = static_cast<double>(state.range(1)) / 100;
    const QImage image = region(side);
    const auto seeds = holes(side);
    std::optional<CutOut::Result> result;
    for (auto _ : state) {
        result = CutOut::removeBackground(image, sensitivity, seeds);
        benchmark::DoNotOptimize(result);
    }
    state.counters["keptWidth"] = result ? result->bounds.width() : 0;
}
BENCHMARK(BM_RemoveBackground)
    ->ArgsProduct({{1000, 2000}, {12, 100}})
    ->ArgNames({"side", "sensitivity%"})
    ->Unit(benchmark::kMillisecond);

} // namespace
