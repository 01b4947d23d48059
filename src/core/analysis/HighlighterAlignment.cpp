#include "core/analysis/HighlighterAlignment.h"

#include "core/analysis/TextLineFinder.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/RegionRender.h"

#include <cmath>

namespace vorlix {

void alignHighlighterToText(DocumentModel& doc, const QUuid& annotationID, const ImageProviding& images)
{
    const auto shape = canvasShape(doc, annotationID);
    if (!shape || shape->kind != AnnotationKind::highlighter || !shape->style.followsText || shape->points.size() < 2)
        return;
    const Point p0 = shape->points[0];
    const Point p1 = shape->points[1];
    const double w = shape->style.lineWidth;
    const double dx = std::abs(p1.x - p0.x);
    if (!(std::abs(p1.y - p0.y) < std::max(4.0, 0.2 * dx)))
        return;

    const double y0 = (p0.y + p1.y) / 2;
    const Rect band(std::min(p0.x, p1.x), y0 - 1.5 * w, dx, 3 * w);
    DocumentModel withoutStroke = doc;
    removeAnnotations(withoutStroke, {annotationID});
    const auto region = renderAlignedRegion(withoutStroke, band, images);
    if (!region)
        return;

    // Lines map through the rectangle the render really covers, which is snapped to whole
    // pixels and clipped to the canvas, not through the band asked for.
    const double s = region->pixelsPerPoint;
    std::optional<Rect> chosen;
    for (const Rect& line : TextRecognition::textLines(region->image)) {
        const Rect canvasLine(region->rect.minX() + line.minX() / s, region->rect.minY() + line.minY() / s,
                              line.width() / s, line.height() / s);
        if (!(canvasLine.height() > 4))
            continue;
        if (!chosen || std::abs(canvasLine.midY() - y0) < std::abs(chosen->midY() - y0))
            chosen = canvasLine;
    }
    if (!chosen || !(std::abs(chosen->midY() - y0) < 1.5 * w))
        return;

    const double centre = chosen->midY();
    const auto owner = vorlix::owner(doc, annotationID);
    if (!owner)
        return;
    const std::vector<Point> points = convertFromCanvas(doc, {{p0.x, centre}, {p1.x, centre}}, *owner);
    const double lineWidth = 1.25 * chosen->height();
    updateAnnotation(doc, annotationID, [&](Annotation& a) {
        a.points = points;
        a.style.lineWidth = lineWidth;
    });
}

} // namespace vorlix
