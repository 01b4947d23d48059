#pragma once
// A panel's annotations in canvas form, and the visibility tests that need their shapes.

#include "core/model/PanelGeometry.h"
#include "core/shapes/CanvasShape.h"

namespace vorlix {

// The annotation with its points mapped from image to canvas space; a measuring line
// carries its length in source-image pixels as its text.
CanvasShape canvasShape(const Panel& panel, const Annotation& annotation);
CanvasShape canvasShape(const PanelMapping& mapping, const Annotation& annotation);
// Bounds and crop-clip extent of the annotation's canvas shape.
ShapeExtents shapeExtents(const Panel& panel, const Annotation& annotation);

bool isOutsideCrop(const Panel& panel, const Annotation& annotation);
bool isHidden(const Panel& panel, const Annotation& annotation);
Rect workArea(const Panel& panel);

} // namespace vorlix
