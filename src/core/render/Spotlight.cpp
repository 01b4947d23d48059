#include "core/render/Spotlight.h"

#include "core/model/PanelGeometry.h"
#include "core/render/PanelFrame.h"
#include "core/render/Pens.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vorlix::Renderer {

Rect spotlightRect(const CanvasShape& shape)
{
    if (shape.points.size() < 2) {
        const Point p = shape.points.empty() ? Point{} : shape.points.front();
        return {p, Size{}};
    }
    return Rect::corner(shape.points[0], shape.points[1]).standardized();
}

void drawSpotlights(const std::vector<CanvasShape>& shapes, const Panel& panel, QPainter& painter)
{
    double dim = 0;
    for (const CanvasShape& s : shapes)
        dim = std::max(dim, std::clamp(std::isfinite(s.style.filterIntensity) ? s.style.filterIntensity : 0.0, 0.0,
                                       maximumSpotlightDim));
    const Rect panelFrame = frame(panel);
    // One dimming over the frame with a hole per spotlight: the frame less the union of
    // the holes, filled once. This is what a dimming layer with cleared holes shows,
    // without an offscreen picture of the whole panel.
    QPainterPath holes;
    holes.setFillRule(Qt::WindingFill);
    for (const CanvasShape& s : shapes) {
        const Rect r = spotlightRect(s);
        if (r.width() <= 0 || r.height() <= 0)
            continue;
        const double radius = std::max(0.0, std::min({s.style.cornerRadius, r.width() / 2, r.height() / 2}));
        holes.addPath(roundedRectPath(r, radius));
    }
    QPainterPath dimmed = roundedRectPath(panelFrame, 0);
    if (!holes.isEmpty())
        dimmed = dimmed.subtracted(holes.simplified());

    painter.save();
    painter.setClipRect(panelFrame.toQt(), Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(grey(0, dim));
    painter.drawPath(dimmed);
    painter.restore();
}

} // namespace vorlix::Renderer
