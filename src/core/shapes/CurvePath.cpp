#include "core/shapes/CurvePath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlix {

namespace {

double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
double norm(Point v) { return std::hypot(v.x, v.y); }

// Samples the quadratic from p to apex with control c at n + 1 evenly spaced
// parameters, n following the length of the control polygon.
std::vector<Point> sampleHalf(Point p, Point c, Point apex)
{
    const double polygon = p.distance(c) + c.distance(apex);
    // A NaN length (never from decoded files, which refuse non-finite numbers) counts as 8.
    const int n = std::isnan(polygon) ? 8 : static_cast<int>(std::clamp(std::floor(polygon / 3), 8.0, 200.0));
    std::vector<Point> samples;
    samples.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double s = static_cast<double>(i) / n;
        const double a = (1 - s) * (1 - s);
        const double b = 2 * s * (1 - s);
        const double d = s * s;
        samples.push_back({a * p.x + b * c.x + d * apex.x, a * p.y + b * c.y + d * apex.y});
    }
    return samples;
}

// Squared distance from p to the closed segment a-b when it is below `best` (itself
// squared); `best` otherwise. The division happens only for a segment that comes
// closer, so a scan over many segments costs multiplications and comparisons.
double closerSquaredDistance(Point p, Point a, Point b, double best)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double px = p.x - a.x;
    const double py = p.y - a.y;
    const double along = px * dx + py * dy;
    if (along <= 0) // before a, or a segment without length
        return std::min(best, px * px + py * py);
    const double lengthSquared = dx * dx + dy * dy;
    if (along >= lengthSquared) {
        const double qx = p.x - b.x;
        const double qy = p.y - b.y;
        return std::min(best, qx * qx + qy * qy);
    }
    const double cross = px * dy - py * dx;
    const double crossSquared = cross * cross;
    return crossSquared < best * lengthSquared ? crossSquared / lengthSquared : best;
}

// Whether p lies within `tolerance` (and its square `limit`) of the closed segment a-b.
// Most segments of a path lie far from p: their boxes reject them at once.
bool isWithin(Point p, Point a, Point b, double tolerance, double limit)
{
    if (p.x + tolerance < std::min(a.x, b.x) || p.x - tolerance > std::max(a.x, b.x) ||
        p.y + tolerance < std::min(a.y, b.y) || p.y - tolerance > std::max(a.y, b.y))
        return false;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double px = p.x - a.x;
    const double py = p.y - a.y;
    const double along = px * dx + py * dy;
    if (along <= 0)
        return px * px + py * py <= limit;
    const double lengthSquared = dx * dx + dy * dy;
    if (along >= lengthSquared) {
        const double qx = p.x - b.x;
        const double qy = p.y - b.y;
        return qx * qx + qy * qy <= limit;
    }
    const double cross = px * dy - py * dx;
    return cross * cross <= limit * lengthSquared;
}

} // namespace

CurvePath::CurvePath(std::vector<Point> points) : m_points(std::move(points)), m_bounds(Rect::boundingBox(m_points)) {}

CurvePath::CurvePath(Point start, Point end, std::optional<Point> through)
{
    const double d = start.distance(end);
    if (!through || d <= 0.0001 || through->distanceToSegment(start, end) < straightTolerance) {
        *this = CurvePath(std::vector<Point>{start, end});
        return;
    }
    const Point t0 = *through;
    const Point u = (end - start) * (1 / d);
    double t = dot(t0 - start, u) / d;
    if (t <= 0.05)
        t = 0.05;
    else if (t > 0.95)
        t = 0.95;
    const double h = (t0.y - start.y) * u.x - (t0.x - start.x) * u.y;
    const Point normal{-u.y, u.x};
    const Point apex = start + u * (d * t) + normal * h;

    // Both controls lie on the chord-parallel line through the apex, so the halves
    // meet there with a common tangent.
    const Point firstControl = apex - u * (d * t / 2);
    const Point secondControl = apex + u * (d * (1 - t) / 2);
    std::vector<Point> points = sampleHalf(start, firstControl, apex);
    const std::vector<Point> second = sampleHalf(end, secondControl, apex);
    // The second half runs from the end to the apex: append it backwards, apex excluded.
    points.insert(points.end(), second.rbegin() + 1, second.rend());
    points.front() = start;
    points.back() = end;
    *this = CurvePath(std::move(points));
}

CurvePath CurvePath::fromControlPoints(const std::vector<Point>& controlPoints)
{
    if (controlPoints.empty())
        return {};
    const Point start = controlPoints[0];
    const Point end = controlPoints.size() > 1 ? controlPoints[1] : start;
    const std::optional<Point> through =
        controlPoints.size() > 2 ? std::optional<Point>(controlPoints[2]) : std::nullopt;
    return CurvePath(start, end, through);
}

CurvePath CurvePath::fromPolyline(std::vector<Point> points) { return CurvePath(std::move(points)); }

double CurvePath::length() const
{
    double total = 0;
    for (std::size_t i = 1; i < m_points.size(); ++i)
        total += m_points[i - 1].distance(m_points[i]);
    return total;
}

Point CurvePath::point(double atDistance) const
{
    if (m_points.empty())
        return {0, 0};
    double x = atDistance > 0 ? atDistance : 0;
    for (std::size_t i = 1; i < m_points.size(); ++i) {
        const Point a = m_points[i - 1];
        const Point b = m_points[i];
        const double segment = a.distance(b);
        if (x <= segment && segment > 0)
            return a + (b - a) * (x / segment);
        x -= segment;
    }
    return m_points.back();
}

std::vector<Point> CurvePath::subpath(double from, double to) const
{
    const Point first = point(from);
    if (!(to > from))
        return {first, first};
    std::vector<Point> result{first};
    double along = 0;
    for (std::size_t i = 1; i < m_points.size(); ++i) {
        along += m_points[i - 1].distance(m_points[i]);
        if (along >= to)
            break;
        if (along > from)
            result.push_back(m_points[i]);
    }
    result.push_back(point(to));
    return result;
}

double CurvePath::distance(Point p) const
{
    if (m_points.size() < 2)
        return std::numeric_limits<double>::max();
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < m_points.size(); ++i)
        best = closerSquaredDistance(p, m_points[i - 1], m_points[i], best);
    return std::sqrt(best);
}

bool CurvePath::isNear(Point p, double tolerance) const
{
    if (m_points.size() < 2 || !(tolerance >= 0))
        return false;
    if (p.x < m_bounds.minX() - tolerance || p.x > m_bounds.maxX() + tolerance || p.y < m_bounds.minY() - tolerance ||
        p.y > m_bounds.maxY() + tolerance)
        return false;
    const double limit = tolerance * tolerance;
    for (std::size_t i = 1; i < m_points.size(); ++i) {
        if (isWithin(p, m_points[i - 1], m_points[i], tolerance, limit))
            return true;
    }
    return false;
}

std::vector<Point> strokeOutline(const std::vector<Point>& points, double startWidth, double endWidth)
{
    const std::size_t n = points.size();
    if (n < 2)
        return points;
    std::vector<double> along(n, 0.0);
    for (std::size_t i = 1; i < n; ++i)
        along[i] = along[i - 1] + points[i - 1].distance(points[i]);
    const double total = along.back();

    std::vector<Point> left(n);
    std::vector<Point> right(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double f = total > 0 ? along[i] / total : 0;
        const double halfWidth = (startWidth + (endWidth - startWidth) * f) * 0.5;
        const Point v = points[std::min(i + 1, n - 1)] - points[i > 0 ? i - 1 : 0];
        const double length = std::max(norm(v), 0.0001);
        const Point normal{-v.y / length, v.x / length};
        left[i] = points[i] + normal * halfWidth;
        right[i] = points[i] - normal * halfWidth;
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

QPainterPath polylinePath(const std::vector<Point>& points, bool closed)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (points.empty())
        return path;
    path.moveTo(points.front().toQt());
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i].toQt());
    if (closed)
        path.closeSubpath();
    return path;
}

} // namespace vorlix
