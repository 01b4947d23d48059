#pragma once
// A palette colour as a round button, and the dot it draws, which other controls share.

#include "core/model/Color.h"

class QPainter;
class QRectF;

namespace vorlix {

class SwatchButton {
public:
    // The oval inscribed in `rect`: filled with the colour and outlined, or the sign of no
    // colour for a fully transparent one.
    static void drawDot(QPainter& painter, const RGBAColor& color, const QRectF& rect);
};

} // namespace vorlix
