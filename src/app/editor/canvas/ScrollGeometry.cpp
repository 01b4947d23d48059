#include "app/editor/canvas/ScrollGeometry.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

// Pixels by which an axis scrolls: the magnified frame less the viewport, rounded up.
// A hair of difference from rounding does not make an axis scroll.
double range(double frame, double magnification, double viewport)
{
    return std::max(0.0, std::ceil(frame * magnification - viewport - 1e-6));
}

// Where the frame's top-left corner lies on one axis of the viewport.
double frameOffset(double frame, double magnification, double viewport, double scroll)
{
    if (range(frame, magnification, viewport) > 0)
        return -scroll;
    return (viewport - frame * magnification) / 2;
}

} // namespace

double ScrollGeometry::clampedMagnification(double magnification)
{
    if (!std::isfinite(magnification))
        return 1;
    return std::clamp(magnification, minimumMagnification, maximumMagnification);
}

double ScrollGeometry::fitMagnification(const Rect& content, Size viewport)
{
    if (content.isEmpty() || !(viewport.width > 0) || !(viewport.height > 0))
        return 1;
    return clampedMagnification(std::min(viewport.width / content.width(), viewport.height / content.height()));
}

Size ScrollGeometry::clipSize() const
{
    return {viewportSize.width / magnification, viewportSize.height / magnification};
}

Size ScrollGeometry::scrollRange() const
{
    return {range(frameSize.width, magnification, viewportSize.width),
            range(frameSize.height, magnification, viewportSize.height)};
}

Point ScrollGeometry::canvasOriginInViewport() const
{
    const double x = frameOffset(frameSize.width, magnification, viewportSize.width, scrollPosition.x);
    const double y = frameOffset(frameSize.height, magnification, viewportSize.height, scrollPosition.y);
    return {std::round(x - boundsOrigin.x * magnification), std::round(y - boundsOrigin.y * magnification)};
}

Point ScrollGeometry::toViewport(Point canvasPoint) const
{
    const Point origin = canvasOriginInViewport();
    return {origin.x + canvasPoint.x * magnification, origin.y + canvasPoint.y * magnification};
}

Point ScrollGeometry::toCanvas(Point viewportPoint) const
{
    const Point origin = canvasOriginInViewport();
    return {(viewportPoint.x - origin.x) / magnification, (viewportPoint.y - origin.y) / magnification};
}

Rect ScrollGeometry::toCanvas(const Rect& viewportRect) const
{
    const Point topLeft = toCanvas(viewportRect.origin);
    return {topLeft, {viewportRect.width() / magnification, viewportRect.height() / magnification}};
}

Rect ScrollGeometry::visibleRect() const { return toCanvas(Rect({0, 0}, viewportSize)); }

void ScrollGeometry::scrollTo(Point position)
{
    const Size limit = scrollRange();
    const auto clamp = [](double value, double maximum) {
        return std::isfinite(value) ? std::clamp(std::round(value), 0.0, maximum) : 0.0;
    };
    scrollPosition = {clamp(position.x, limit.width), clamp(position.y, limit.height)};
}

void ScrollGeometry::scrollVisibleOriginTo(Point canvasPoint)
{
    scrollTo({(canvasPoint.x - boundsOrigin.x) * magnification, (canvasPoint.y - boundsOrigin.y) * magnification});
}

void ScrollGeometry::place(Point canvasPoint, Point viewportPoint)
{
    scrollTo({(canvasPoint.x - boundsOrigin.x) * magnification - viewportPoint.x,
              (canvasPoint.y - boundsOrigin.y) * magnification - viewportPoint.y});
}

void ScrollGeometry::zoom(double newMagnification, Point canvasPoint)
{
    const Point fixed = toViewport(canvasPoint);
    magnification = clampedMagnification(newMagnification);
    place(canvasPoint, fixed);
}

} // namespace vorlix
