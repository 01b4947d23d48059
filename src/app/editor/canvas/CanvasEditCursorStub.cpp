#include "app/editor/canvas/CanvasView.h"

namespace vorlix {

// No edit gesture claims a cursor of its own yet.
std::optional<QCursor> CanvasView::editCursorAt(Point) { return std::nullopt; }

} // namespace vorlix
