#include "app/editor/canvas/CanvasView.h"

namespace vorlix {

// No text view shows the session yet.
void CanvasView::textSessionStyleDidChange() {}

} // namespace vorlix
