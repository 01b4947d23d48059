// Stand-ins for the in-place text session's entry points until it is part of the canvas.
#include "app/editor/canvas/CanvasView.h"

namespace vorlix {

void CanvasView::beginNewText(Point, AnnotationKind, std::optional<Point>) {}

void CanvasView::beginEditingText(const QUuid&) {}

} // namespace vorlix
