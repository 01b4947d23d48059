#include "core/shapes/PencilGeometry.h"

#include <cstddef>
#include <utility>

namespace vorlix::PencilGeometry {

std::vector<Point> simplify(const std::vector<Point>& points, double tolerance)
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
            const double d = points[i].distanceToSegment(points[first], points[last]);
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

} // namespace vorlix::PencilGeometry
