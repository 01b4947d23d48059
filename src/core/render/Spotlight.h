#pragma once
// Spotlights: one dimming over a panel's frame with a rounded hole per spotlight.

#include "core/model/DocumentModel.h"
#include "core/shapes/CanvasShape.h"

#include <QPainter>

#include <vector>

namespace vorlix::Renderer {

// The strongest dimming a spotlight may ask for.
inline constexpr double maximumSpotlightDim = 0.95;

// A spotlight's hole: the rectangle spanned by its first two points.
Rect spotlightRect(const CanvasShape& shape);

// Dims the panel's frame by the strongest of the spotlights' intensities, leaving their
// holes clear.
void drawSpotlights(const std::vector<CanvasShape>& shapes, const Panel& panel, QPainter& painter);

} // namespace vorlix::Renderer
