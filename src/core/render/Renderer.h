#pragma once
// The document renderer: paints a whole DocumentModel onto a painter whose world
// transform maps canvas points to the device (the canvas view and the exporter set
// that up). It decides what is drawn, in which order, with which clips and blend
// modes; one annotation shape is drawn by the functions of AnnotationDrawing.h.
//
// Order: background over the canvas bounds; then each panel in order (shadowed
// rounded frame, image pieces, strip seams, captured cursor, spotlights, the other
// annotations, caption); then the document-level annotations. Every function leaves
// the painter's state as it found it. Nothing is reported: what cannot be drawn (a
// missing image, an empty caption) is left out and the rest is drawn.
//
// Keeps nothing of its own between draws: what a canvas reuses from one redraw to the
// next lives in the RenderCache it passes in `Options::cache`, and a draw without one
// (an export) computes everything afresh. The only other memory is per thread (built
// paths, text layouts and shadow pictures, which depend on nothing but their keys), so
// draws may run on any thread, several at once, each with its own cache or none.

#include "core/model/DocumentModel.h"
#include "core/model/PanelGeometry.h"
#include "core/render/AnnotationDrawing.h"
#include "core/render/ImageProviding.h"
#include "core/shapes/CanvasShape.h"

#include <QPainter>
#include <QUuid>

#include <optional>
#include <set>
#include <vector>

namespace vorlix::Renderer {

class RenderCache;

struct Options {
    // Annotations (panel-owned or document-level) that are not drawn, such as the text
    // being edited in place.
    std::set<QUuid> hiddenAnnotationIDs;
    // Drawn instead of the document's background when set (exports, analysis renders).
    std::optional<CanvasBackground> backgroundOverride;
    // Device pixels per canvas point of the target. When set and well below a panel's
    // image density, a reduced preview of the image is drawn instead of the full one.
    std::optional<double> displayPixelsPerPoint;
    // The drawing canvas's caches (shape pictures, filtered regions, darkness answers),
    // used and filled by the draw; nothing is kept without one, as an export wants.
    RenderCache* cache = nullptr;
    // Whether shapes are composited from the cache's kept pictures, which may round a
    // colour channel by one level where a direct draw does not. Worth it while a shape
    // is dragged and the others stay still; a settled canvas draws directly, so it shows
    // exactly what the export renders.
    bool reusesShapePictures = false;
    // The part of the canvas that needs painting (canvas points), such as a window's
    // exposed area. Panels and document-level annotations that paint nothing inside it
    // (by their extent with a margin for shadows, halos and strokes) are skipped; pixels
    // inside come out exactly as in a full draw, pixels outside may be left unpainted.
    std::optional<Rect> visibleRect;

    bool operator==(const Options&) const = default;
};

// Draws the whole document.
void draw(const DocumentModel& document, const ImageProviding& images, QPainter& painter, const Options& options = {});

// The captured cursor with its click ring under it, clipped to the panel's frame.
void drawCursor(const Panel& panel, const ImageProviding& images, QPainter& painter);

// A blur or pixelate annotation's filtered piece of its panel's image, clipped to the
// shape's rectangle within the panel's frame; the piece is kept in `cache` when given.
void drawRegion(const CanvasShape& shape, const Panel& panel, const ImageProviding& images, QPainter& painter,
                RenderCache* cache = nullptr);

} // namespace vorlix::Renderer
