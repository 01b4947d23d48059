#pragma once
// Step numbers: number badges near the top-left corner of each panel, so a document of
// several panels reads as a numbered sequence. The values come from the draw order.

#include "core/model/DocumentModel.h"

namespace vorlix {

// Adds a badge to every panel without a visible one; returns how many were added.
int addStepNumbers(DocumentModel& doc, const Style& style);
// Any number annotation, hidden ones included.
bool hasNumbers(const DocumentModel& doc);
// Removes every number annotation; returns how many.
int removeStepNumbers(DocumentModel& doc);

} // namespace vorlix
