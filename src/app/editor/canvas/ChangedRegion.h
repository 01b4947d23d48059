#pragma once
// The part of the canvas a change of the document repaints: the union of the old and new
// bounds of the annotations that changed, appeared or went. A change that reaches beyond
// its own shapes (a panel, the background, a spotlight that dims around itself, a lens
// that shows what lies under it) has no such part: the whole view repaints.
// Canvas points; the caller grows the result by what it draws around shapes.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"

#include <optional>

namespace vorlix {

// Nothing when the whole canvas must repaint; a null rectangle when nothing drawn changed.
std::optional<Rect> changedCanvasRect(const DocumentModel& before, const DocumentModel& after);

} // namespace vorlix
