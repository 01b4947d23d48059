#include "core/shapes/PencilGeometry.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace vorlix::PencilGeometry {

namespace {

// The distance from `p` to the segment from `a` to `b`, squared.
double squaredDistanceToSegment(Point p, Point a, Point b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    const double t =
        lengthSquared > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared, 0.0, 1.0) : 0;
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

// Douglas-Peucker as `simplify` describes, measuring with `distanceToSegment`.
template <typename Distance>
std::vector<Point> simplifyBy(const std::vector<Point>& points, double tolerance, Distance distanceToSegment)
{
    const std::size_t n = points.size();
    if (n < 3)
        return points;
    std::vector<bool> keep(n, false);
    keep.front() = true;
    keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> stack{{0, n - 1}};
    while (!stack.empty()) {
        const auto [first, last] = stack.back();
        stack.pop_back();
        if (last - first < 2)
            continue;
        std::size_t farthest = first + 1;
        double maxDistance = -1;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = distanceToSegment(points[i], points[first], points[last]);
            if (d > maxDistance) { // strictly greater: the earliest of equal points wins
                maxDistance = d;
                farthest = i;
            }
        }
        if (maxDistance > tolerance) {
            keep[farthest] = true;
            stack.push_back({first, farthest});
            stack.push_back({farthest, last});
        }
    }
    std::vector<Point> result;
    for (std::size_t i = 0; i < n; ++i) {
        if (keep[i])
            result.push_back(points[i]);
    }
    return result;
}

} // namespace

std::vector<Point> simplify(const std::vector<Point>& points, double tolerance)
{
    return simplifyBy(points, tolerance, [](Point p, Point a, Point b) { return p.distanceToSegment(a, b); });
}

QPainterPath smoothPath(const std::vector<Point>& points)
{
    QPainterPath path;
    if (points.empty())
        return path;
    const std::size_t n = points.size();
    path.moveTo(points.front().toQt());
    if (n == 2) {
        path.lineTo(points[1].toQt());
    } else if (n >= 3) {
        for (std::size_t i = 1; i + 1 < n; ++i) {
            const Point mid = (points[i] + points[i + 1]) * 0.5;
            path.quadTo(points[i].toQt(), mid.toQt());
        }
        path.lineTo(points.back().toQt());
    }
    return path;
}

std::vector<Point> simplifyForDrawing(const std::vector<Point>& points, double tolerance)
{
    constexpr std::size_t pointsPerRun = 512;
    if (points.size() < 3 || !(tolerance > 0))
        return points;
    const double half = tolerance / 2;
    std::vector<Point> spread{points.front()};
    spread.reserve(points.size());
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        // Squared distances: this loop sees every point of the stroke on every redraw.
        const double dx = points[i].x - spread.back().x;
        const double dy = points[i].y - spread.back().y;
        if (dx * dx + dy * dy >= half * half)
            spread.push_back(points[i]);
    }
    spread.push_back(points.back());

    std::vector<Point> result{spread.front()};
    for (std::size_t first = 0; first + 1 < spread.size(); first += pointsPerRun - 1) {
        const std::size_t last = std::min(first + pointsPerRun - 1, spread.size() - 1);
        const std::vector<Point> run(spread.begin() + static_cast<std::ptrdiff_t>(first),
                                     spread.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        // Squared distances against the squared tolerance: the same points within
        // rounding, without a square root for every point on every redraw.
        const std::vector<Point> kept = simplifyBy(run, half * half, squaredDistanceToSegment);
        result.insert(result.end(), kept.begin() + 1, kept.end());
    }
    return result;
}

std::vector<QPainterPath> smoothPathPieces(const std::vector<Point>& points, std::size_t curvesPerPiece)
{
    const std::size_t n = points.size();
    if (n < 3)
        return {smoothPath(points)};
    const std::size_t perPiece = std::max<std::size_t>(curvesPerPiece, 1);
    std::vector<QPainterPath> pieces;
    QPainterPath piece(points.front().toQt());
    std::size_t curves = 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const Point mid = (points[i] + points[i + 1]) * 0.5;
        piece.quadTo(points[i].toQt(), mid.toQt());
        if (++curves == perPiece && i + 2 < n) {
            pieces.push_back(piece);
            piece = QPainterPath(mid.toQt());
            curves = 0;
        }
    }
    piece.lineTo(points.back().toQt());
    pieces.push_back(piece);
    return pieces;
}

} // namespace vorlix::PencilGeometry
