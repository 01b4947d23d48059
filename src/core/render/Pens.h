#pragma once
// Pens, greys and transforms in the form the renderer's drawing files use them.

#include "core/model/Color.h"
#include "core/model/Geometry.h"
#include "core/shapes/QtConversions.h"

#include <QColor>
#include <QPen>
#include <QTransform>

namespace vorlix::Renderer {

inline QTransform toQTransform(const AffineTransform& t) { return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty); }

inline QColor grey(double white, double alpha) { return toQColor(RGBAColor{white, white, white, alpha}); }

// A solid pen with the miter limit the drawings use.
inline QPen pen(const QColor& color, double width, Qt::PenCapStyle cap = Qt::RoundCap,
                Qt::PenJoinStyle join = Qt::RoundJoin)
{
    QPen p(color, width, Qt::SolidLine, cap, join);
    p.setMiterLimit(10);
    return p;
}

} // namespace vorlix::Renderer
