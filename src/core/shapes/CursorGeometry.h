#pragma once
// The mouse pointers a cursor annotation shows, drawn as vectors so that they stay
// sharp at any zoom or export size. Every shape is defined in unit coordinates with
// its hot spot at (0, 0) and y down, then scaled by s = max(fontSize, 8) and moved to
// the tip, in canvas points.

#include "core/model/Color.h"
#include "core/model/Geometry.h"
#include "core/model/Style.h"

#include <QPainterPath>

#include <optional>

namespace vorlix::CursorGeometry {

// What to draw for one cursor: `fill` is filled with fillColor and edged with edgeColor
// at edgeWidth; `beam` is only stroked (the text beam); `details` are open strokes
// drawn over the fill (the closed hand's finger lines). Filled outlines use the
// non-zero winding rule and are true unions, so their edge has no inner seams.
struct Drawing {
    std::optional<QPainterPath> fill;
    std::optional<QPainterPath> beam;
    std::optional<QPainterPath> details;
    RGBAColor fillColor;
    RGBAColor edgeColor;
    double edgeWidth = 0;
};

// The body colours: a near-black grey of 0.05 and white, both opaque sRGB.
RGBAColor dark();
RGBAColor light();

// The cursor's size in points: the font size, at least 8.
double size(const Style& style);

Drawing drawing(const Style& style, Point tip);
// The tight box of the fill (or, without one, of the beam), grown by twice the edge
// width on every side, united with the click ring grown by 3 when the style marks a
// click. Null when there is nothing to draw.
Rect bounds(const Style& style, Point tip);
// The square holding the click ring: half side 0.55 s about the tip.
Rect clickRing(const Style& style, Point tip);

} // namespace vorlix::CursorGeometry
