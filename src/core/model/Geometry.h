#pragma once
// Canvas geometry values: points, sizes, rectangles and affine transforms in
// canvas points (or image pixels, by context), top-left origin, y growing down.
//
// The rules follow the drawing model the document was designed around, not
// QRectF's: there is a null rectangle (origin at +infinity) that unions ignore,
// a zero-size rectangle is not null and does enlarge a union, point containment
// is half-open (min <= p < max), and every query works on the standardised
// rectangle (negative sizes turned round).

#include <cmath>
#include <limits>
#include <span>

class QPointF;
class QRectF;
class QSizeF;

namespace vorlix {

struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;
    Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    Point operator-(Point o) const { return {x - o.x, y - o.y}; }
    Point operator*(double k) const { return {x * k, y * k}; }

    double distance(Point other) const { return std::hypot(x - other.x, y - other.y); }
    // Distance to the closed segment from a to b (a point when a == b).
    double distanceToSegment(Point a, Point b) const;
    // This point moved onto the nearest multiple of 45 degrees around the origin given,
    // keeping its distance from it.
    Point snappedAngle(Point around) const;
    // This point expressed relative to the chord from a to b, re-expressed relative to
    // the chord from c to d (rotation and scale follow the chords). A degenerate first
    // chord only translates.
    Point mapped(Point fromA, Point fromB, Point toA, Point toB) const;

    QPointF toQt() const;
};

struct Size {
    double width = 0;
    double height = 0;

    bool operator==(const Size&) const = default;
    QSizeF toQt() const;
};

struct Rect {
    Point origin;
    Size size;

    bool operator==(const Rect&) const = default;

    Rect() = default;
    Rect(Point origin, Size size) : origin(origin), size(size) {}
    Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

    static Rect null();
    // The rectangle spanned by two opposite corners, in any order.
    static Rect corner(Point a, Point opposite);
    // The smallest rectangle holding every point; null for none.
    static Rect boundingBox(std::span<const Point> points);
    // The bounding box of the rectangle's four corners carried by `map`; null stays null.
    template <class Map>
    Rect mappedCorners(Map map) const
    {
        if (isNull())
            return null();
        const Point corners[4] = {map(Point{minX(), minY()}), map(Point{maxX(), minY()}), map(Point{minX(), maxY()}),
                                  map(Point{maxX(), maxY()})};
        return boundingBox(corners);
    }

    bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    double minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
    double minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
    double maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
    double maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    double width() const { return std::abs(size.width); }
    double height() const { return std::abs(size.height); }
    Point center() const { return {midX(), midY()}; }

    Rect standardized() const;
    Rect united(const Rect& other) const;
    // The common part; null when the two do not meet. Rectangles that only touch
    // meet in a zero-width (or zero-height) rectangle.
    Rect intersection(const Rect& other) const;
    bool intersects(const Rect& other) const { return !intersection(other).isNull(); }
    bool contains(Point p) const;
    bool contains(const Rect& other) const;
    // Negative amounts grow the rectangle; a rectangle inset past its centre is null.
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    // Smallest rectangle with whole-number edges that holds this one.
    Rect integral() const;
    bool containsInEllipse(Point p) const;

    QRectF toQt() const;
    static Rect fromQt(const QRectF& r);
};

// x' = a x + c y + tx,  y' = b x + d y + ty
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    bool operator==(const AffineTransform&) const = default;

    static AffineTransform identity() { return {}; }
    static AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform rotation(double radians);

    // This transform followed by `then`.
    AffineTransform concatenating(const AffineTransform& then) const;
    AffineTransform translated(double x, double y) const { return translation(x, y).concatenating(*this); }
    AffineTransform scaled(double sx, double sy) const { return scaling(sx, sy).concatenating(*this); }
    AffineTransform rotated(double radians) const { return rotation(radians).concatenating(*this); }
    // A singular transform (determinant 0) has no inverse and is returned unchanged.
    AffineTransform inverted() const;
    bool isInvertible() const { return a * d - b * c != 0; }

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // The bounding box of the transformed corners; null stays null.
    Rect apply(const Rect& r) const;
};

// Doubles read from files can hold anything: conversions to integers saturate
// instead of overflowing, and a NaN becomes 0.
long long saturatingInt64(double value);
int saturatingInt(double value);
// Rounds halves away from zero, then saturates.
long long roundedInt64(double value);

} // namespace vorlix
