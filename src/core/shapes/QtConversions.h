#pragma once
// The drawing edge: model values turned into Qt's drawing types.

#include "core/model/Color.h"
#include "core/model/Geometry.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

namespace vorlix {

// An sRGB colour with the components as stored (Qt clamps to 0...1 itself).
QColor toQColor(const RGBAColor& color);

} // namespace vorlix
