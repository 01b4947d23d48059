#pragma once
// A line or arrow shaft, straight or bent through a dragged control point, held as a
// dense polyline in canvas points (top-left origin, y down).
//
// A bent line is two quadratic Bezier halves that meet at the apex with a tangent
// parallel to the chord, so it passes through the control point and stays smooth
// there. Each half is sampled at one point per 3 points of its control polygon
// (8...200 intervals), so a bent line holds 17...401 points: short bends stay cheap,
// long ones stay smooth. Its first and last points are exactly the given ends.
//
// The polyline never changes after construction; its bounding box is computed once
// with it, so that hit tests can reject far points without walking the segments.

#include "core/model/Geometry.h"

#include <QPainterPath>

#include <optional>
#include <vector>

namespace vorlix {

class CurvePath {
public:
    // A control point closer than this (in points) to the straight line leaves the
    // line straight.
    static constexpr double straightTolerance = 1;

    // The empty path: no points, length 0, no segment.
    CurvePath() = default;
    // The line from start to end, bent through `through` when it is given and at
    // least `straightTolerance` away from the segment.
    CurvePath(Point start, Point end, std::optional<Point> through);
    // Start, end and (from the third point on, when present) the point to pass through,
    // in the order an annotation stores them. One point gives a degenerate two-point
    // path; none gives the empty path.
    static CurvePath fromControlPoints(const std::vector<Point>& controlPoints);
    // An arbitrary polyline taken as it is.
    static CurvePath fromPolyline(std::vector<Point> points);

    bool operator==(const CurvePath& other) const { return m_points == other.m_points; }

    const std::vector<Point>& points() const { return m_points; }
    bool isCurved() const { return m_points.size() > 2; }
    // The box around every point; null for the empty path.
    Rect bounds() const { return m_bounds; }

    // Sum of the segment lengths.
    double length() const;
    // The point `distance` along the path: the first point for a distance of 0 or less,
    // the last past the end, (0, 0) for the empty path.
    Point point(double atDistance) const;
    // The piece between two distances along the path: its two end points with every
    // vertex strictly between them. Two copies of the start when `to` <= `from`.
    std::vector<Point> subpath(double from, double to) const;
    // Smallest distance from p to any segment; the greatest finite double when the path
    // has no segment.
    double distance(Point p) const;
    // Whether p lies within `tolerance` of the path (distance(p) <= tolerance): the hit
    // test. Far points are answered by the path's box alone; otherwise segments whose
    // boxes are out of reach are skipped and the scan ends at the first close one.
    bool isNear(Point p, double tolerance) const;

private:
    explicit CurvePath(std::vector<Point> points);

    std::vector<Point> m_points;
    Rect m_bounds = Rect::null();
};

// The closed polygon around a polyline whose width grows linearly with the distance
// along it, from startWidth at the first point to endWidth at the last (the tapered
// arrow shaft): the left-hand offsets in order, then the right-hand ones backwards.
// Fewer than two points are returned unchanged.
std::vector<Point> strokeOutline(const std::vector<Point>& points, double startWidth, double endWidth);

// A path through the points joined by straight lines, for drawing; closed when asked.
QPainterPath polylinePath(const std::vector<Point>& points, bool closed = false);

} // namespace vorlix
