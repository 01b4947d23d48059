// The polylines drawn along the seams where removed strips were closed up (declared with
// the renderer).

#include "core/render/Renderer.h"

#include <algorithm>
#include <cmath>

namespace vorlix::Renderer {

std::vector<Point> zigzagLine(Point a, Point b)
{
    const double length = a.distance(b);
    if (!(length > 0) || !std::isfinite(length))
        return {};
    const Point u = (b - a) * (1 / length);
    const Point normal{-u.y, u.x};
    const long long n = saturatingInt64(std::ceil(length / 5));
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    for (long long i = 0; i < n; ++i)
        points.push_back(a + u * (5.0 * static_cast<double>(i)) + normal * (i % 2 == 0 ? -3.0 : 3.0));
    points.push_back(b);
    return points;
}

std::vector<Point> breakLine(Point a, Point b)
{
    const double length = a.distance(b);
    if (!(length > 0) || !std::isfinite(length))
        return {};
    const Point u = (b - a) * (1 / length);
    const Point v{u.y, -u.x};
    const long long k = std::max<long long>(1, roundedInt64(length / 400));
    const double h = std::min(length / 5, 10.0);
    const double w = std::min(length * 0.125, 9.0);
    std::vector<Point> points{a};
    points.reserve(static_cast<std::size_t>(k) * 4 + 2);
    for (long long j = 0; j < k; ++j) {
        const double c = length * (static_cast<double>(j) + 0.5) / static_cast<double>(k);
        const Point p = a + u * (c - w);
        const Point q = a + u * (c + w);
        points.insert(points.end(), {p, p + v * h, q - v * h, q});
    }
    points.push_back(b);
    return points;
}

} // namespace vorlix::Renderer
