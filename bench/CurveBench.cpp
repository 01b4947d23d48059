// Hit tests and distance queries over 500 bent lines, as the canvas does when it looks
// for the topmost line under the pointer, and the cost of building one bent line.

#include "core/shapes/CurvePath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace vorlix;

namespace {

constexpr int lineCount = 500;
constexpr double hitTolerance = 6;

// A small deterministic generator, so every run measures the same lines.
struct Lcg {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    double next(double lo, double hi)
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return lo + (hi - lo) * static_cast<double>(state >> 11) / 9007199254740992.0;
    }
};

// Lines scattered over a 1600 x 1000 canvas, from short bends to long ones.
std::vector<CurvePath> scatteredLines()
{
    Lcg rng;
    std::vector<CurvePath> lines;
    for (int i = 0; i < lineCount; ++i) {
        const Point start{rng.next(0, 1600), rng.next(0, 1000)};
        const double angle = rng.next(0, 6.283185307179586);
        const double length = rng.next(20, 900);
        const Point end{start.x + length * std::cos(angle), start.y + length * std::sin(angle)};
        const double bend = rng.next(-0.4, 0.4) * length;
        const Point mid = (start + end) * 0.5;
        const Point through{mid.x - std::sin(angle) * bend, mid.y + std::cos(angle) * bend};
        lines.emplace_back(start, end, through);
    }
    return lines;
}

// U-shaped lines nested around (800, 500): every bounding box holds that point, no line
// passes near it, so a hit test there must walk every segment of every line.
std::vector<CurvePath> nestedLines()
{
    std::vector<CurvePath> lines;
    for (int i = 0; i < lineCount; ++i) {
        const double r = 20 + i * 1.6;
        lines.emplace_back(Point{800 - r, 500 - r}, Point{800 + r, 500 - r}, Point{800, 500 + r});
    }
    return lines;
}

std::vector<Point> queryPoints()
{
    Lcg rng{42};
    std::vector<Point> points;
    for (int i = 0; i < 256; ++i)
        points.push_back({rng.next(0, 1600), rng.next(0, 1000)});
    return points;
}

void addPointCounter(benchmark::State& state, const std::vector<CurvePath>& lines)
{
    double total = 0;
    for (const CurvePath& line : lines)
        total += static_cast<double>(line.points().size());
    state.counters["pointsPerLine"] = total / static_cast<double>(lines.size());
}

// The exact distance to each of the 500 lines (the nearest wins).
void BM_CurveDistanceTo500Lines(benchmark::State& state)
{
    const std::vector<CurvePath> lines = scatteredLines();
    const std::vector<Point> queries = queryPoints();
    std::size_t q = 0;
    for (auto _ : state) {
        const Point p = queries[q++ % queries.size()];
        double best = 1e300;
        for (const CurvePath& line : lines)
            best = std::min(best, line.distance(p));
        benchmark::DoNotOptimize(best);
    }
    addPointCounter(state, lines);
}
BENCHMARK(BM_CurveDistanceTo500Lines)->Unit(benchmark::kMicrosecond);

// The topmost of 500 scattered lines within the hit tolerance of the pointer.
void BM_CurveHitTestTopmostOf500(benchmark::State& state)
{
    const std::vector<CurvePath> lines = scatteredLines();
    const std::vector<Point> queries = queryPoints();
    std::size_t q = 0;
    std::int64_t hits = 0;
    for (auto _ : state) {
        const Point p = queries[q++ % queries.size()];
        int found = -1;
        for (int i = lineCount - 1; i >= 0; --i) {
            if (lines[static_cast<std::size_t>(i)].isNear(p, hitTolerance)) {
                found = i;
                break;
            }
        }
        hits += found >= 0;
        benchmark::DoNotOptimize(found);
    }
    addPointCounter(state, lines);
    state.counters["hitRate"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CurveHitTestTopmostOf500)->Unit(benchmark::kMicrosecond);

// Worst case: the point lies inside all 500 bounding boxes and near none of the lines.
void BM_CurveHitTestMissInside500Boxes(benchmark::State& state)
{
    const std::vector<CurvePath> lines = nestedLines();
    const Point p{800, 500};
    for (auto _ : state) {
        bool any = false;
        for (const CurvePath& line : lines)
            any = any || line.isNear(p, hitTolerance);
        benchmark::DoNotOptimize(any);
    }
    addPointCounter(state, lines);
}
BENCHMARK(BM_CurveHitTestMissInside500Boxes)->Unit(benchmark::kMicrosecond);

// Building the longest bent line (401 points).
void BM_CurveBuildLongBentLine(benchmark::State& state)
{
    for (auto _ : state) {
        const CurvePath path({0, 0}, {2000, 0}, Point{1000, 300});
        benchmark::DoNotOptimize(path.points().data());
    }
}
BENCHMARK(BM_CurveBuildLongBentLine)->Unit(benchmark::kMicrosecond);

} // namespace
