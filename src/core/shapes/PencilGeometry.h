#pragma once
// Freehand pencil strokes: the simplification applied when the pointer is lifted and
// the smooth path they are drawn with. Points are in the stroke's own space (canvas
// points, or image pixels for a panel's annotation); the tolerance is in the same units.

#include "core/model/Geometry.h"

#include <QPainterPath>

#include <vector>

namespace vorlix::PencilGeometry {

// Ramer-Douglas-Peucker: keeps both ends and every point farther than `tolerance` from
// the chord of the range it splits; the kept points stay in their input order. Runs on
// an explicit stack, so long strokes cannot exhaust the call stack. Fewer than three
// points are returned unchanged.
std::vector<Point> simplify(const std::vector<Point>& points, double tolerance);

// The stroke as quadratic curves through the midpoints between consecutive points,
// each using the point between them as its control, ending in a straight piece to the
// last point. Two points give a straight line, one point only its start.
QPainterPath smoothPath(const std::vector<Point>& points);

} // namespace vorlix::PencilGeometry
