#pragma once
// Drawing of one annotation shape, already in canvas form, onto a painter whose world
// transform maps canvas points to the device. Every function leaves the painter's state
// as it found it.

#include "core/shapes/CanvasShape.h"

#include <QPainter>
#include <QString>

#include <optional>

namespace vorlix::Renderer {

// Draws the shape with its effects (measure, outline halo, chalk, opacity layer).
// `number` is the value a number badge shows (nothing shows 1); `highlighterBlend` is
// how a highlighter stroke combines with what is under it (multiply, or normal on
// dark backgrounds).
void draw(QPainter& painter, const CanvasShape& shape, std::optional<long long> number = std::nullopt,
          QPainter::CompositionMode highlighterBlend = QPainter::CompositionMode_Multiply);
// A callout's bubble without its text (the canvas previews it while placing one).
void drawCalloutBubble(QPainter& painter, const CanvasShape& shape);
void drawStamp(QPainter& painter, const QString& text, Point center, double size);
void drawCursorShape(QPainter& painter, const Style& style, Point tip);

} // namespace vorlix::Renderer
