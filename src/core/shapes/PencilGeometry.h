#pragma once
// Freehand pencil strokes: the simplification applied when the pointer is lifted and
// the smooth path they are drawn with. Points are in the stroke's own space (canvas
// points, or image pixels for a panel's annotation); the tolerance is in the same units.

#include "core/model/Geometry.h"

#include <QPainterPath>

#include <cstddef>
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

// The stroke as it is drawn at a resolution where `tolerance` is a fraction of a device
// pixel: points closer than half the tolerance to the previous kept point are dropped,
// then each run of at most 512 of the rest is simplified with half the tolerance, so no
// drawn point moves by more than `tolerance` and the work stays linear in the points
// (a single Douglas-Peucker pass over a whole stroke may take quadratic time). Both
// ends are kept. A tolerance that is not above 0, or fewer than three points, returns
// the points unchanged.
std::vector<Point> simplifyForDrawing(const std::vector<Point>& points, double tolerance);

// smoothPath cut into pieces of at most `curvesPerPiece` curves (at least one), each
// starting where the previous one ends: together they are the same curves, and no
// single piece is so long that filling its stroke outline costs more than its share.
std::vector<QPainterPath> smoothPathPieces(const std::vector<Point>& points, std::size_t curvesPerPiece);

} // namespace vorlix::PencilGeometry
