#pragma once
// Cropping a panel and cutting bands of rows or columns out of it, keeping every
// annotation on the image content it was drawn on.

#include "core/model/DocumentModel.h"

#include <QUuid>

#include <optional>

namespace vorlix {

// Sets (standardised, whole pixels) or clears a panel's crop and gives every annotation
// of the panel that crop as its clip; the image centre keeps its canvas place. A crop
// that is empty or misses the image counts as no crop. In a one-panel document the
// document-level annotations move into the panel first.
void applyCrop(DocumentModel& doc, const std::optional<Rect>& crop, const QUuid& panelID);
// Cuts the band between the two ends of a drag, read along its larger movement. False,
// and no change, when the panel is unknown or the band is under 2 image pixels.
bool removeStrip(DocumentModel& doc, const QUuid& panelID, Point canvasStart, Point canvasEnd);
void restoreStrips(DocumentModel& doc, const QUuid& panelID);

} // namespace vorlix
