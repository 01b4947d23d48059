#pragma once
// What a pointer at a canvas point would grab before anything else: an edit handle of
// the single selected annotation, or a corner of the selected panel; the cursor that
// shows a handle; and the object name that undo titles use. Free functions of the
// document and the canvas's selection, for the press and for hover feedback alike.
// Canvas points, y downwards; catch radii are screen points divided by the
// magnification.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/shapes/CanvasShape.h"

#include <QCursor>
#include <QString>
#include <QUuid>

#include <optional>
#include <set>

namespace vorlix {

inline constexpr double handleCatchRadius = 4.5 + 3;      // screen points
inline constexpr double panelCornerCatchRadius = 4.5 + 4; // screen points

struct HandleHit {
    QUuid id;
    Handle handle;
    CanvasShape shape;
    bool operator==(const HandleHit&) const = default;
};

// The handle of the one selected annotation under `at`: the first of its handles within
// the catch radius, else, for a lens, the magnified view's inside (moveMagnified).
// Nothing unless exactly one annotation is selected and it exists.
std::optional<HandleHit> handle(const DocumentModel& model, const std::set<QUuid>& selection, Point at,
                                double magnification);

struct PanelCornerHit {
    QUuid id;
    Point anchor; // the diagonally opposite corner
    Panel panel;  // as it is
    bool operator==(const PanelCornerHit&) const = default;
};

// The selected panel's corner under `at`, tried top-left, top-right, bottom-right,
// bottom-left.
std::optional<PanelCornerHit> panelCorner(const DocumentModel& model, const std::optional<QUuid>& selectedPanel,
                                          Point at, double magnification);

// The cursor over a handle; `grabbing` while a gesture runs (a grabbed magnified view
// shows a closed hand).
QCursor cursor(const Handle& handle, bool grabbing);

// The display name of the one annotation named, else "oggetti".
QString objectName(const DocumentModel& model, const std::set<QUuid>& ids);

} // namespace vorlix
