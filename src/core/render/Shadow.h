#pragma once
// Drop shadows, which QPainter lacks: the alpha of what a drawing function paints is
// blurred, tinted with the shadow colour, moved by the offset and composited under
// the shape.
//
// Offset and blur are canvas points, y growing downward (a positive y offset puts
// the shadow below the shape), and scale with the painter's device transform, so a
// shadow looks the same at every zoom and export density. The blur is the Gaussian
// of sigma blur / 2. The work happens in device pixels; only the part of the shadow
// inside the painter's clip is computed.

#include "core/model/Color.h"
#include "core/model/Geometry.h"

#include <QRectF>

#include <functional>

class QColor;
class QPainter;
class QPainterPath;

namespace vorlix {

struct Shadow {
    Point offset;    // canvas points, y down
    double blur = 0; // canvas points
    RGBAColor color{0, 0, 0, 1};

    bool operator==(const Shadow&) const = default;
};

// Draws only the shadow of what `draw` paints. `bounds` holds everything `draw`
// paints, in the painter's current user space. `draw` gets a painter with the same
// world transform and render hints (on an offscreen image) and may change its state.
void drawShadow(QPainter& painter, const Shadow& shadow, const QRectF& bounds,
                const std::function<void(QPainter&)>& draw);

// The shadow of `path` filled with `fill` (its alpha counts), as `drawShadow` draws it.
// The shadow picture is kept for the path, shadow, colour, render hints and device
// transform up to whole-pixel moves, so redrawing an unchanged shape, or one scrolled
// by whole pixels, reuses it. The pictures are kept per thread (at most 48 and 64 MB,
// oldest out first): they depend on nothing but their key, so draws on any thread are safe.
void drawPathShadow(QPainter& painter, const Shadow& shadow, const QPainterPath& path, const QColor& fill);

// The shadow, then the shape itself on `painter`.
void drawWithShadow(QPainter& painter, const Shadow& shadow, const QRectF& bounds,
                    const std::function<void(QPainter&)>& draw);

} // namespace vorlix
