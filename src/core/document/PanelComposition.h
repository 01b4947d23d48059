#pragma once
// Adding, laying out, moving, turning, mirroring and removing panels. A panel's own
// annotations follow it (they live in its image space); document-level annotations
// stay where they are on the canvas.

#include "core/model/DocumentModel.h"

#include <QUuid>

#include <vector>

namespace vorlix {

// Placed after the other panels without laying them out again; appended and returned.
Panel addPanel(DocumentModel& doc, const QUuid& imageID, Size pixelSize, double pixelsPerPoint,
               PanelOrientation orientation);
Point nextPanelOrigin(const DocumentModel& doc, const Panel& panel);
// Forgets every manual position, then lays out.
void arrangePanels(DocumentModel& doc);
// Places every panel not positioned by hand, from the first one's current origin.
void layoutAutomaticPanels(DocumentModel& doc);
// Top-left corners of equal cells, ceil(sqrt(n)) columns, row by row.
std::vector<Point> gridOrigins(const std::vector<Size>& sizes, double spacing, Point start);
// The panel's frame united with its caption frame.
Rect outerFrame(const Panel& panel);
void movePanel(DocumentModel& doc, const QUuid& panelID, Point origin);
void rotatePanel(DocumentModel& doc, const QUuid& panelID, bool clockwise);
void flipPanel(DocumentModel& doc, const QUuid& panelID, bool horizontally);
void removePanel(DocumentModel& doc, const QUuid& panelID);

} // namespace vorlix
