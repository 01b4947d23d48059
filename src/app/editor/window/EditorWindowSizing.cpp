#include "app/editor/window/EditorWindowSizing.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

double EditorZoom::clamped(double magnification)
{
    if (!std::isfinite(magnification))
        return 1;
    return std::clamp(magnification, minimum, maximum);
}

double EditorZoom::toFit(QSizeF canvas, QSizeF visible)
{
    if (canvas.width() <= 0 || canvas.height() <= 0 || visible.width() <= 0 || visible.height() <= 0)
        return 1;
    return clamped(std::min(visible.width() / canvas.width(), visible.height() / canvas.height()));
}

EditorWindowSizing::Opening EditorWindowSizing::opening(const QRectF& available, QSizeF chrome, QSizeF canvas,
                                                        double preferredWidth)
{
    const QRectF area = available.adjusted(screenMargin, screenMargin, -screenMargin, -screenMargin);
    double magnification = 1;
    if (canvas.width() > 0 && canvas.height() > 0)
        magnification = std::min({(area.width() - chrome.width() - canvasMargin) / canvas.width(),
                                  (area.height() - chrome.height()) / canvas.height(), 1.0});
    magnification = std::max(magnification, EditorZoom::minimum);
    const double width =
        std::min(area.width() - chrome.width(),
                 std::max(preferredWidth - chrome.width(), canvas.width() * magnification + canvasMargin));
    const double height = std::max(canvas.height() * magnification, minimumContentHeight);
    return {QSizeF(width, height), magnification};
}

double EditorWindowSizing::preferredWidth(double toolbarWindowWidth)
{
    return std::max(initialPreferredWidth, std::ceil(toolbarWindowWidth) + 2);
}

} // namespace vorlix
