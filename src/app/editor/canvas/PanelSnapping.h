#pragma once
// Where a dragged panel lands and how a panel scales by a corner. While a panel is
// dragged its left edge, centre and right edge snap to the edges and centre lines of
// the other panels (and likewise top, centre and bottom); the lines it snapped to become
// guides across the canvas. Pure functions of the document; canvas points, y downwards.
// Distances are screen points divided by the magnification.

#include "app/editor/canvas/CanvasState.h"
#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"

#include <QUuid>

#include <vector>

namespace vorlix {

inline constexpr double panelSnapDistance = 8;  // screen points
inline constexpr double guideReach = 10000;     // a guide runs from -reach to +reach
inline constexpr double minimumPanelReach = 20; // canvas points between pointer and anchor
inline constexpr double minimumPanelScale = 0.05;

struct SnappedOrigin {
    Point origin;
    // At most two: a vertical guide for an x snap, then a horizontal one for a y snap.
    std::vector<Guide> guides;
    bool operator==(const SnappedOrigin&) const = default;
};

// The origin for panel `id` dragged to `proposed`. With `free`, or without such a panel,
// the proposal itself and no guides. The first of the moving panel's edges that comes
// within the snap distance of a candidate wins (left before centre before right), even
// when a later edge is closer to its own candidate; between equally near candidates the
// earlier panel, and within a panel min before mid before max, wins.
SnappedOrigin snappedPanelOrigin(const DocumentModel& model, const QUuid& id, Point proposed, bool free,
                                 double magnification);

// Scales panel `id` of `model` for a corner dragged to `pointer` with the opposite corner
// `anchor` fixed; `original` is the panel as it was at the press. Only the horizontal
// reach counts (the panel keeps its aspect ratio); the anchor stays the corner on the
// pointer's side, so dragging past it flips the panel over. The automatic layout runs
// afterwards. Nothing when the panel is gone.
void scalePanelByCorner(DocumentModel& model, const QUuid& id, Point anchor, const Panel& original, Point pointer);

} // namespace vorlix
