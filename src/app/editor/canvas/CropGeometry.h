#pragma once
// The arithmetic of a crop being chosen: how far the rectangle may reach, which of its
// handles the pointer is on, and where a drag of the rectangle, of a handle or of a new
// rectangle puts it. Canvas points, y downwards, except the session's rectangle, which is
// in the image pixels of the panel being cropped. Tolerances are screen points divided by
// the magnification.

#include "app/editor/canvas/CanvasState.h"
#include "core/model/CropAspect.h"
#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/shapes/CanvasShape.h"

#include <functional>
#include <optional>

namespace vorlix {

inline constexpr double cropHandleRadius = 4.5;    // screen points
inline constexpr double cropHandleCatch = 4.5 + 4; // screen points
inline constexpr double cropEdgeSnap = 6;          // screen points
inline constexpr double cropMinimumPixels = 4;     // image pixels

// How far the crop may reach: the uncropped panel with the annotations that stick out of
// it, and in a one-panel document the document's own annotations too; whole points.
Rect cropLimit(const DocumentModel& model, const CropSession& session);
// The session's rectangle on the canvas.
Rect cropCanvasRect(const CropSession& session);
// The first of the rectangle's eight handles within catch of `at`.
std::optional<Handle> cropHandleAt(const Rect& canvasRect, Point at, double magnification);

struct CropDragInput {
    const CropSession& session;
    const CropDrag& drag;
    Point point;
    bool constrained = false;
    CropAspect aspect = CropAspect::free;
    Rect limit;
    double magnification = 1;
    // Image pixels per canvas point at a canvas point.
    std::function<double(Point)> pixelsPerPoint;
};

// The session's new rectangle (image pixels) for a drag event; nothing when the event is
// to be ignored (no gesture, or a result under the minimum size).
std::optional<Rect> draggedCropRect(const CropDragInput& input);

// The rectangle held to an aspect about its centre inside the limit, in whole pixels.
Rect aspectFittedCropRect(const CropSession& session, CropAspect aspect, const Rect& limit);

} // namespace vorlix
