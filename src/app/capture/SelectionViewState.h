#pragma once
// What one overlay window knows and shows: its screen's frozen picture, the mode, the
// candidate windows, the windows picked so far and the pointer and press under way. The
// view changes it on input; the painter draws it; the geometry below (the rectangle
// that would be captured now, the window under a point) is shared by both.
//
// Positions are in the view's points: origin at the screen's top-left corner, y
// downwards. `frozen` is in device pixels (scale pixels a point) and may be null when
// the screen was not frozen; the live screen then shows through.

#include "app/capture/SelectionOverlay.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace vorlix {

struct CandidateWindow {
    std::uint32_t id = 0;
    QRectF rect; // view points
    bool operator==(const CandidateWindow&) const = default;
};

struct SelectionViewState {
    QSizeF size; // the view's bounds, the screen's size in points
    QImage frozen;
    double scale = 1;
    SelectionMode mode;
    std::vector<CandidateWindow> windows; // front to back
    std::set<std::uint32_t> chosen;

    std::optional<QPointF> start;   // where the press under way began
    std::optional<QPointF> current; // the far end of that press
    std::optional<QPointF> mouse;   // the pointer; nothing while it is outside the view
    std::optional<QPointF> keyboardPoint;
    bool showsLoupe = true; // the "showsLoupe" setting, read when the state is drawn

    QRectF bounds() const { return {QPointF(0, 0), size}; }

    // The rectangle that would be captured now: the fixed frame at the pointer (exact
    // fixed sizes), the held proportion from the press (ratios), or the dragged
    // rectangle kept inside the bounds.
    std::optional<QRectF> selection() const;
    // The front-most candidate containing `point`, in the window and all-in-one modes only.
    std::optional<CandidateWindow> windowAt(QPointF point) const;
    // The window under the pointer that is drawn as hovered: none while a selection
    // exists, and none that is already picked.
    std::optional<CandidateWindow> hoveredWindow() const;
    // Whether the loupe shows: a pointer, a frozen picture, not the window mode, the setting on.
    bool showsLoupeNow() const;
};

} // namespace vorlix
