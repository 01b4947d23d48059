#pragma once
// Halos: what a drawing function paints, repeated at many small shifts and merged into
// one single-coloured picture behind it (the contrasting rim of outlined shapes).
//
// Drawing the shape once per shift costs a full path stroke and rasterisation each
// time. Instead the drawing's alpha is rendered once, in device pixels, and that
// coverage is composited source-over at every shift with bilinear resampling, which
// gives the picture of the shifted drawings to within a fraction of a pixel at their
// antialiased edges. Only the tiles of the picture that some shifted copy reaches are
// computed, so a thin stroke around a large area costs what its ring costs.

#include "core/model/Color.h"

#include <QPointF>
#include <QRectF>

#include <functional>
#include <vector>

class QPainter;

namespace vorlix {

// Draws on `painter` the union of what `draw` paints shifted by each of `shifts`
// (canvas points, in the painter's current user space), composited source-over as the
// shifted drawings would be, every pixel in `color` at the merged coverage. `bounds`
// holds all the shifted copies, in user space. `draw` gets a painter with the same world
// transform, render hints, pen, brush and font (on an offscreen image) and may change
// its state. Goes through the painter's opacity, composition mode and clip; leaves the
// painter's state as it found it.
void drawHalo(QPainter& painter, const QRectF& bounds, const std::vector<QPointF>& shifts, const RGBAColor& color,
              const std::function<void(QPainter&)>& draw);

} // namespace vorlix
