#pragma once
// What the ruler tool says about a measurement: the badge text in image pixels, points
// and centimetres, and the lines that pinning a measurement (or the automatic ruler)
// leaves in the document. Canvas points, y downwards; pixel counts use the image pixels
// per canvas point where the measurement starts.

#include "app/editor/canvas/CanvasState.h"
#include "core/model/Geometry.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vorlix {

using Segment = std::pair<Point, Point>;

// Nearest whole number, halves away from zero.
std::int64_t roundedCount(double value);

// Three lines: "W × H px   ↗ D px", "w × h pt   a × b cm" (decimal comma) and the hint
// that Return pins the measurement.
QString measurementBadgeText(const Measurement& measurement, double pixelsPerPoint);

// What pinning would insert: the automatic ruler's two lines without a measurement; with
// one, a width line above and a height line right of its rectangle, or a single line
// through a rectangle thinner than three quarters of an image pixel, or nothing.
std::vector<Segment> measureSegments(const std::optional<Measurement>& measurement,
                                     const std::optional<AutoRuler>& autoRuler, double pixelsPerPointAtStart);

} // namespace vorlix
