#pragma once
// The marks the canvas paints around and over the rendered document and never exports:
// the work-area border and checkerboard, selection outlines and handles, the selected
// panel with its corner dots, snap guides, dashed regions, the marquee and the previews
// of a callout being placed and of a strip being cut.
//
// Every function draws on a painter that maps canvas points to the device, in canvas
// points. Lengths are given in screen points and divided by the magnification, so the
// marks keep their size on screen at every zoom.

#include "app/editor/canvas/CanvasState.h"
#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"

#include <QColor>
#include <QPalette>
#include <QUuid>

#include <optional>
#include <set>
#include <vector>

class QPainter;

namespace vorlix::CanvasOverlays {

struct Colors {
    QColor label;  // text colour of the window: the work-area border, checkerboard
    QColor accent; // selection strokes, handle rims, regions
    QColor guide;  // snap guides

    static Colors from(const QPalette& palette);
};

// The document's bounds: a checkerboard inside when the background is transparent, and
// a dashed border around them. Painted before the document.
// `bounds` are the shown document's canvas bounds.
void drawWorkArea(QPainter& painter, const DocumentModel& shown, const Rect& bounds, const Rect& dirty,
                  double magnification, const Colors& colors);
void fillCheckerboard(QPainter& painter, const Rect& rect, const Rect& visible, double magnification,
                      const Colors& colors);

// The selected annotations of `model`: one with handles shows its handles (and the
// outline of a rectangular shape); otherwise each shows a dashed box around its bounds.
// Nothing while a text session runs with fewer than two selected.
void drawSelection(QPainter& painter, const DocumentModel& model, const std::set<QUuid>& selection,
                   bool textSessionRuns, double magnification, const Colors& colors);

// The snap guides, then the selected panel's outline and corner dots.
void drawPanelSelection(QPainter& painter, const DocumentModel& model, const std::vector<Guide>& guides,
                        const std::optional<QUuid>& selectedPanel, double magnification, const Colors& colors);

// A dashed accent rectangle, filled with a light veil when `veiled`.
void drawRegion(QPainter& painter, const Rect& rect, bool veiled, double magnification, const Colors& colors);

void drawMarquee(QPainter& painter, const drag::Marquee& marquee, double magnification, const Colors& colors);

// The dashed line from a callout's tip to where its box will go.
void drawCalloutPreview(QPainter& painter, const drag::PlacingCallout& callout, double magnification,
                        const Colors& colors);
// The band a strip cut between two points would remove from a panel of `frame`: across
// the whole panel, horizontal for a mostly vertical drag (a diagonal one included),
// vertical otherwise; null where it misses the panel.
Rect stripBand(const Rect& frame, Point start, Point current);
// The band a strip cut would remove, across the whole panel.
void drawStripPreview(QPainter& painter, const DocumentModel& model, const drag::CuttingStrip& strip,
                      double magnification);

} // namespace vorlix::CanvasOverlays
