#include "app/capture/SelectionViewState.h"

#include <cmath>

namespace vorlix {

namespace {

Rect toRect(const QRectF& r) { return {r.x(), r.y(), r.width(), r.height()}; }

QRectF toQRectF(const Rect& r) { return {r.origin.x, r.origin.y, r.size.width, r.size.height}; }

} // namespace

std::optional<QRectF> SelectionViewState::selection() const
{
    if (mode.isExactFixed()) {
        if (!mouse)
            return std::nullopt;
        const std::optional<Rect> frame =
            mode.size.frame({mouse->x(), mouse->y()}, scale, {size.width(), size.height()});
        return frame ? std::optional(toQRectF(*frame)) : std::nullopt;
    }
    if (!start || !current)
        return std::nullopt;
    if (mode.isRatioFixed())
        return toQRectF(mode.size.ratioRect({start->x(), start->y()}, {current->x(), current->y()}, toRect(bounds())));
    const QRectF dragged(QPointF(std::min(start->x(), current->x()), std::min(start->y(), current->y())),
                         QSizeF(std::abs(current->x() - start->x()), std::abs(current->y() - start->y())));
    // QRectF::intersected gives an empty rectangle for a zero-width drag; keep its place.
    const double left = std::max(dragged.left(), 0.0);
    const double top = std::max(dragged.top(), 0.0);
    const double right = std::min(dragged.right(), size.width());
    const double bottom = std::min(dragged.bottom(), size.height());
    if (right < left || bottom < top)
        return std::nullopt;
    return QRectF(left, top, right - left, bottom - top);
}

std::optional<CandidateWindow> SelectionViewState::windowAt(QPointF point) const
{
    if (mode.kind != SelectionMode::Kind::window && mode.kind != SelectionMode::Kind::allInOne)
        return std::nullopt;
    // Half-open, as window frames tile: a point on a right or bottom edge lies outside.
    for (const CandidateWindow& window : windows) {
        const QRectF& r = window.rect;
        if (point.x() >= r.left() && point.x() < r.right() && point.y() >= r.top() && point.y() < r.bottom())
            return window;
    }
    return std::nullopt;
}

std::optional<CandidateWindow> SelectionViewState::hoveredWindow() const
{
    if (selection() || !mouse)
        return std::nullopt;
    const std::optional<CandidateWindow> window = windowAt(*mouse);
    if (!window || chosen.contains(window->id))
        return std::nullopt;
    return window;
}

bool SelectionViewState::showsLoupeNow() const
{
    return mouse && !frozen.isNull() && mode.kind != SelectionMode::Kind::window && showsLoupe;
}

} // namespace vorlix
