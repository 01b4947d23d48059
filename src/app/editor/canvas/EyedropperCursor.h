#pragma once
// The colour picker's cursor: the picker icon as a black glyph with a one-point white
// outline, 22 x 22 points, its hot spot at the tip of the pipette. Drawn by the program
// at the screen's pixel density, once per process.

#include <QCursor>
#include <QImage>
#include <QPointF>

namespace vorlix::EyedropperCursor {

inline constexpr int side = 22;                         // points
inline constexpr QPointF hotSpot{55.0 / 12, 143.0 / 8}; // points from the top-left corner

// The cursor picture at a device pixel ratio (premultiplied ARGB with that ratio set).
QImage image(double devicePixelRatio);
// Made on first use at the application's device pixel ratio.
const QCursor& shared();

} // namespace vorlix::EyedropperCursor
