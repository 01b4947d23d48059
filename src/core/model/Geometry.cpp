#include "core/model/Geometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <algorithm>
#include <numbers>

namespace vorlix {

double Point::distanceToSegment(Point a, Point b) const
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared == 0)
        return distance(a);
    const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / lengthSquared, 0.0, 1.0);
    return distance({a.x + t * dx, a.y + t * dy});
}

Point Point::snappedAngle(Point around) const
{
    const double dx = x - around.x;
    const double dy = y - around.y;
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return *this;
    const double step = std::numbers::pi / 4;
    const double angle = std::round(std::atan2(dy, dx) / step) * step;
    return {around.x + std::cos(angle) * length, around.y + std::sin(angle) * length};
}

Point Point::mapped(Point fromA, Point fromB, Point toA, Point toB) const
{
    // The similarity (rotation, uniform scale, translation) taking a->b onto c->d.
    const Point u = fromB - fromA;
    const Point v = toB - toA;
    const double lengthSquared = u.x * u.x + u.y * u.y;
    if (lengthSquared == 0)
        return *this + (toA - fromA);
    const double k = (u.x * v.x + u.y * v.y) / lengthSquared;
    const double m = (u.x * v.y - u.y * v.x) / lengthSquared;
    const Point q = *this - fromA;
    return {toA.x + q.x * k - q.y * m, toA.y + q.x * m + q.y * k};
}

QPointF Point::toQt() const { return {x, y}; }
QSizeF Size::toQt() const { return {width, height}; }

Rect Rect::null()
{
    const double inf = std::numeric_limits<double>::infinity();
    return Rect(inf, inf, 0, 0);
}

Rect Rect::corner(Point a, Point opposite)
{
    return Rect(std::min(a.x, opposite.x), std::min(a.y, opposite.y), std::abs(opposite.x - a.x),
                std::abs(opposite.y - a.y));
}

Rect Rect::boundingBox(std::span<const Point> points)
{
    if (points.empty())
        return null();
    double x0 = points.front().x, x1 = x0, y0 = points.front().y, y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::standardized() const
{
    if (isNull())
        return null();
    return Rect(minX(), minY(), width(), height());
}

Rect Rect::united(const Rect& other) const
{
    if (isNull())
        return other.standardized();
    if (other.isNull())
        return standardized();
    const double x0 = std::min(minX(), other.minX());
    const double y0 = std::min(minY(), other.minY());
    const double x1 = std::max(maxX(), other.maxX());
    const double y1 = std::max(maxY(), other.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::intersection(const Rect& other) const
{
    if (isNull() || other.isNull())
        return null();
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    if (x1 < x0 || y1 < y0)
        return null();
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool Rect::contains(Point p) const
{
    if (isNull())
        return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& other) const
{
    if (isNull() || other.isNull())
        return false;
    return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() && other.maxY() <= maxY();
}

Rect Rect::insetBy(double dx, double dy) const
{
    if (isNull())
        return null();
    const Rect r = standardized();
    const double w = r.size.width - 2 * dx;
    const double h = r.size.height - 2 * dy;
    if (w < 0 || h < 0)
        return null();
    return Rect(r.origin.x + dx, r.origin.y + dy, w, h);
}

Rect Rect::offsetBy(double dx, double dy) const
{
    if (isNull())
        return null();
    return Rect(origin.x + dx, origin.y + dy, size.width, size.height);
}

Rect Rect::integral() const
{
    if (isNull())
        return null();
    const double x0 = std::floor(minX());
    const double y0 = std::floor(minY());
    return Rect(x0, y0, std::ceil(maxX()) - x0, std::ceil(maxY()) - y0);
}

bool Rect::containsInEllipse(Point p) const
{
    const double rx = width() / 2;
    const double ry = height() / 2;
    if (rx <= 0 || ry <= 0)
        return false;
    const double nx = (p.x - (minX() + rx)) / rx;
    const double ny = (p.y - (minY() + ry)) / ry;
    return nx * nx + ny * ny <= 1;
}

QRectF Rect::toQt() const
{
    const Rect r = standardized();
    return {r.origin.x, r.origin.y, r.size.width, r.size.height};
}

Rect Rect::fromQt(const QRectF& r) { return Rect(r.x(), r.y(), r.width(), r.height()); }

AffineTransform AffineTransform::rotation(double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concatenating(const AffineTransform& t) const
{
    return {a * t.a + b * t.c, a * t.b + b * t.d,          c * t.a + d * t.c,
            c * t.b + d * t.d, tx * t.a + ty * t.c + t.tx, tx * t.b + ty * t.d + t.ty};
}

AffineTransform AffineTransform::inverted() const
{
    const double det = a * d - b * c;
    if (det == 0)
        return *this;
    return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

Rect AffineTransform::apply(const Rect& r) const
{
    return r.mappedCorners([this](Point p) { return apply(p); });
}

long long saturatingInt64(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<long long>::max();
    if (value < -limit)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(value);
}

int saturatingInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

long long roundedInt64(double value) { return saturatingInt64(std::round(value)); }

} // namespace vorlix
