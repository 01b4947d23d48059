#pragma once
// Snapping a finished highlighter stroke onto the line of text under it: exactly
// horizontal at the line's vertical centre and 1.25 times the line's height thick.

#include "core/model/DocumentModel.h"
#include "core/render/ImageProviding.h"

#include <QUuid>

namespace vorlix {

// Changes nothing unless the annotation is a nearly horizontal highlighter that follows
// text and a line of text lies close enough under it.
void alignHighlighterToText(DocumentModel& doc, const QUuid& annotationID, const ImageProviding& images);

} // namespace vorlix
