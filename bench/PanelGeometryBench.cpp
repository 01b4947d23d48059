// Point mapping through a panel with crop, four removed bands, a quarter turn and a mirror:
// the renderer and hit tests map many points per pass, and nothing is cached.

#include "core/model/PanelGeometry.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace vorlix;

namespace {

Panel busyPanel()
{
    Panel p;
    p.pixelSize = {5120, 2880};
    p.pixelsPerPoint = 2;
    p.crop = Rect(100, 50, 4800, 2700);
    p.removedStrips = {{RemovedStrip::Axis::rows, 400, 600},
                       {RemovedStrip::Axis::rows, 1500, 1700},
                       {RemovedStrip::Axis::columns, 1000, 1200},
                       {RemovedStrip::Axis::columns, 3000, 3100}};
    p.orientation = {1, true};
    p.origin = {24, 24};
    p.scale = 0.75;
    return p;
}

std::vector<Point> samplePoints()
{
    std::vector<Point> points;
    for (int i = 0; i < 1000; ++i)
        points.push_back({(i * 37) % 5120 + 0.5, (i * 91) % 2880 + 0.25});
    return points;
}

void BM_PanelCanvasPointsFromImage(benchmark::State& state)
{
    const Panel p = busyPanel();
    const std::vector<Point> points = samplePoints();
    for (auto _ : state)
        for (const Point& q : points)
            benchmark::DoNotOptimize(canvasPointFromImage(p, q));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_PanelCanvasPointsFromImage)->Unit(benchmark::kMicrosecond);

void BM_PanelImagePointsFromCanvas(benchmark::State& state)
{
    const Panel p = busyPanel();
    const std::vector<Point> points = samplePoints();
    for (auto _ : state)
        for (const Point& q : points)
            benchmark::DoNotOptimize(imagePointFromCanvas(p, q));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_PanelImagePointsFromCanvas)->Unit(benchmark::kMicrosecond);

void BM_PanelSegmentsAndSeams(benchmark::State& state)
{
    const Panel p = busyPanel();
    for (auto _ : state) {
        benchmark::DoNotOptimize(visibleSegments(p));
        benchmark::DoNotOptimize(stripSeams(p));
    }
}
BENCHMARK(BM_PanelSegmentsAndSeams);

} // namespace
