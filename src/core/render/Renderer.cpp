#include "core/render/Renderer.h"

#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelCaptions.h"
#include "core/document/PanelShapes.h"
#include "core/model/ExportOptions.h"
#include "core/render/Filters.h"
#include "core/render/Lens.h"
#include "core/render/PanelFrame.h"
#include "core/render/PanelImage.h"
#include "core/render/Pens.h"
#include "core/render/RenderCache.h"
#include "core/render/SeamLines.h"
#include "core/render/Spotlight.h"
#include "core/shapes/QtConversions.h"
#include "core/shapes/ShapeGeometry.h"
#include "core/shapes/TextLayout.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlix::Renderer {

namespace {

void drawHighlighter(const CanvasShape& shape, const Annotation& annotation, const Panel& panel,
                     const ImageProviding& images, QPainter& painter, RenderCache* cache)
{
    const QImage image = images.image(panel.imageID);
    const double margin = annotation.style.lineWidth / std::max(pointsPerPixel(panel), minimumDivisor);
    const std::optional<bool> dark = image.isNull() ? std::nullopt
                                     : cache        ? cache->isDark(annotation.points, panel, image, margin)
                                                    : Filters::isDark(annotation.points, panel, image, margin);
    if (!dark.value_or(false)) {
        draw(painter, shape, std::nullopt, QPainter::CompositionMode_Multiply);
        return;
    }
    if (shape.points.size() < 2)
        return;
    draw(painter, shape, std::nullopt, QPainter::CompositionMode_SourceOver);
    if (shape.style.lineWidth <= 0)
        return;
    // The image's light pixels (the text) come back over the colour.
    QPainterPath segment;
    segment.moveTo(shape.points[0].x, shape.points[0].y);
    segment.lineTo(shape.points[1].x, shape.points[1].y);
    QPainterPathStroker stroker;
    stroker.setWidth(shape.style.lineWidth);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath outline = stroker.createStroke(segment);
    outline.setFillRule(Qt::WindingFill);
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    painter.setCompositionMode(QPainter::CompositionMode_Lighten);
    drawImagePieces(panel, image, painter);
    painter.restore();
}

void drawCaption(const Panel& panel, const CanvasBackground& background, QPainter& painter)
{
    const auto text = captionText(panel);
    if (!text)
        return;
    const auto box = captionFrame(panel);
    if (!box)
        return;
    // The colour follows the background actually drawn, an export's override included.
    TextLayout::draw(*text, captionStyle(background), box->origin, painter);
}

// An annotation's shape; a canvas under interaction composites kept pictures of
// unchanged shapes, everything else draws them afresh.
void drawAnnotationShape(QPainter& painter, const QUuid& id, const CanvasShape& shape, std::optional<long long> number,
                         const Options& options)
{
    if (options.cache && options.reusesShapePictures)
        options.cache->shapePictures().draw(painter, id, shape, number);
    else
        draw(painter, shape, number, QPainter::CompositionMode_Multiply);
}

// What is left of the canvas to paint: the visible rectangle, and the length of a device
// pixel in canvas points.
struct Culling {
    std::optional<Rect> visible;
    double pixel = 1;

    // Whether a drawing that stays within `reach` canvas points of `extent` may paint
    // inside the visible rectangle. A few device pixels more cover antialiasing and the
    // rounding of blurs to whole pixels; an extent or reach that cannot be trusted is
    // always drawn.
    bool mayPaint(const Rect& extent, double reach) const
    {
        if (!visible)
            return true;
        const double margin = reach + 4 * pixel;
        if (extent.isNull() || !std::isfinite(margin) || !std::isfinite(extent.width()) ||
            !std::isfinite(extent.height()))
            return true;
        return extent.insetBy(-margin, -margin).intersects(*visible);
    }
};

// How far an annotation's drawing may reach past its bounds, in canvas points: stroke
// joins, halos, text outlines, the callout's and the lens's shadows (at most 18 points),
// a measure's label. Generous: a shape left out is not drawn at all.
double annotationReach(const CanvasShape& shape)
{
    const double reach = 24 + 2 * std::abs(shape.style.lineWidth);
    return shape.style.showsMeasure ? reach + 3 * std::max(std::abs(shape.style.fontSize), 8.0) : reach;
}

// A panel's annotation that is drawn, in canvas form, and whether it may paint inside
// the visible rectangle.
struct PanelShape {
    const Annotation* annotation = nullptr;
    CanvasShape shape;
    bool paintsVisible = true;
};

std::vector<PanelShape> panelShapes(const Panel& panel, const Options& options, const Culling& culling)
{
    const PanelMapping mapping(panel);
    std::vector<PanelShape> shapes;
    shapes.reserve(panel.annotations.size());
    for (const Annotation& a : panel.annotations) {
        if (options.hiddenAnnotationIDs.count(a.id) || isHidden(panel, a))
            continue;
        CanvasShape shape = canvasShape(mapping, a);
        // Bounds cost a shape's geometry: only measured when something is culled.
        const bool paints = !culling.visible || culling.mayPaint(shape.bounds(), annotationReach(shape));
        shapes.push_back({&a, std::move(shape), paints});
    }
    return shapes;
}

// Whether anything of the panel may paint inside the visible rectangle.
bool panelPaintsVisible(const Panel& panel, const std::vector<PanelShape>& shapes, const Culling& culling)
{
    Rect own = frame(panel);
    if (const auto caption = captionFrame(panel))
        own = own.united(*caption);
    return culling.mayPaint(own, panelShadowReach()) ||
           std::any_of(shapes.begin(), shapes.end(), [](const PanelShape& s) { return s.paintsVisible; });
}

void drawPanel(const DocumentModel& document, const Panel& panel, const std::vector<PanelShape>& shapes,
               const ImageProviding& images, QPainter& painter, const Options& options,
               const CanvasBackground& background, const std::map<QUuid, long long>& numbers)
{
    const Rect panelFrame = frame(panel);
    const double radius = panelRadius(document, panel);
    const QPainterPath framePath = roundedRectPath(panelFrame, radius);
    const QImage image = displayedImage(panel, images, options.displayPixelsPerPoint);

    if (document.panelShadow)
        drawPanelShadow(panelFrame, radius, framePath, opaqueImageArea(panel, image, radius, painter), painter);

    painter.save();
    if (radius > 0)
        painter.setClipPath(framePath, Qt::IntersectClip);
    drawImagePieces(panel, image, painter);
    painter.restore();

    drawStripSeams(panel, document.cutMark, painter);
    drawCursor(panel, images, painter);

    // Spotlights dim the whole frame, so they are drawn whenever the panel is.
    std::vector<const PanelShape*> visible;
    std::vector<CanvasShape> spotlights;
    for (const PanelShape& s : shapes) {
        if (s.annotation->kind == AnnotationKind::spotlight)
            spotlights.push_back(s.shape);
        else if (s.paintsVisible)
            visible.push_back(&s);
    }
    if (!spotlights.empty())
        drawSpotlights(spotlights, panel, painter);

    for (const PanelShape* s : visible) {
        const Annotation* annotation = s->annotation;
        const CanvasShape& shape = s->shape;
        painter.save();
        if (annotation->kind == AnnotationKind::lens) {
            drawLens(shape, panel, images, painter);
        } else {
            if (annotation->cropClip)
                painter.setClipRect(canvasRectFromImage(panel, *annotation->cropClip).toQt(), Qt::IntersectClip);
            switch (annotation->kind) {
            case AnnotationKind::pixelate:
            case AnnotationKind::blur:
                drawRegion(shape, panel, images, painter, options.cache);
                break;
            case AnnotationKind::highlighter:
                drawHighlighter(shape, *annotation, panel, images, painter, options.cache);
                break;
            case AnnotationKind::arrow:
            case AnnotationKind::line:
            case AnnotationKind::rectangle:
            case AnnotationKind::ellipse:
            case AnnotationKind::text:
            case AnnotationKind::callout:
            case AnnotationKind::pencil:
            case AnnotationKind::number:
            case AnnotationKind::stamp:
            case AnnotationKind::cursor:
            case AnnotationKind::spotlight:
            case AnnotationKind::lens: {
                const auto number = numbers.find(annotation->id);
                drawAnnotationShape(painter, annotation->id, shape,
                                    number == numbers.end() ? std::nullopt : std::optional(number->second), options);
                break;
            }
            }
        }
        painter.restore();
    }

    drawCaption(panel, background, painter);
}

// Fills the canvas with the background colour, leaving out the panels' areas that their
// opaque images will hide.
void fillBackground(const DocumentModel& document, const ImageProviding& images, QPainter& painter,
                    const Options& options, const QColor& color)
{
    const QRectF canvas = canvasBounds(document).toQt();
    const QTransform device = painter.deviceTransform();
    QRegion holes;
    for (const Panel& panel : document.panels) {
        const QImage image = displayedImage(panel, images, options.displayPixelsPerPoint);
        if (const auto covered = opaqueImageArea(panel, image, panelRadius(document, panel), painter))
            holes += device.mapRect(*covered).toRect();
    }
    if (holes.isEmpty()) {
        painter.fillRect(canvas, color);
        return;
    }
    // Bands of whole device pixels around the holes; the canvas edges stay where they are.
    const QTransform toUser = device.inverted();
    const QRegion bands = QRegion(device.mapRect(canvas).toAlignedRect()) - holes;
    for (const QRect& band : bands)
        painter.fillRect(toUser.mapRect(QRectF(band)).intersected(canvas), color);
}

} // namespace

void draw(const DocumentModel& document, const ImageProviding& images, QPainter& painter, const Options& options)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const CanvasBackground background = options.backgroundOverride.value_or(document.background);
    if (const auto* color = std::get_if<ColorBackground>(&background))
        fillBackground(document, images, painter, options, toQColor(color->color));

    const double scale = std::sqrt(std::abs(painter.deviceTransform().determinant()));
    const Culling culling{options.visibleRect, scale > 0 ? 1 / scale : std::numeric_limits<double>::infinity()};
    const std::map<QUuid, long long> numbers = numberValues(document);
    for (const Panel& panel : document.panels) {
        const std::vector<PanelShape> shapes = panelShapes(panel, options, culling);
        if (panelPaintsVisible(panel, shapes, culling))
            drawPanel(document, panel, shapes, images, painter, options, background, numbers);
    }

    // Measure labels count the pixels of a native export, whatever the target's density.
    ExportOptions native;
    native.resolution = ExportOptions::Native{};
    const double density = exportPixelsPerPoint(document, native, Rect());
    for (const Annotation& a : document.annotations) {
        if (options.hiddenAnnotationIDs.count(a.id) || isPanelFilter(a.kind))
            continue;
        const CanvasShape shape{a.kind, a.points, a.measureText(density).value_or(a.text), a.style};
        if (culling.visible && !culling.mayPaint(shape.bounds(), annotationReach(shape)))
            continue;
        const auto number = numbers.find(a.id);
        painter.save();
        drawAnnotationShape(painter, a.id, shape,
                            number == numbers.end() ? std::nullopt : std::optional(number->second), options);
        painter.restore();
    }
    painter.restore();
}

void drawCursor(const Panel& panel, const ImageProviding& images, QPainter& painter)
{
    if (!panel.cursor || !panel.cursor->isVisible)
        return;
    const CursorElement& cursor = *panel.cursor;
    const QImage image = images.image(cursor.imageID);
    if (image.isNull())
        return;
    const double s = pointsPerPixel(panel);
    const Point tip = canvasPointFromImage(panel, cursor.position);
    const QRectF rect(tip.x - s * cursor.hotspot.x, tip.y - s * cursor.hotspot.y, s * image.width(),
                      s * image.height());

    painter.save();
    painter.setClipRect(frame(panel).toQt(), Qt::IntersectClip);
    if (cursor.showsClick) {
        const double r = CursorElement::clickRadiusInPoints * panel.scale;
        const QRectF ring(tip.x - r, tip.y - r, 2 * r, 2 * r);
        const RGBAColor orange = AccentColors::orange();
        painter.setPen(Qt::NoPen);
        painter.setBrush(toQColor(RGBAColor{orange.red, orange.green, orange.blue, 0.28}));
        painter.drawEllipse(ring);
        const double width = 2 * panel.scale;
        if (width > 0) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(pen(toQColor(RGBAColor{orange.red, orange.green, orange.blue, 0.9}), width));
            painter.drawEllipse(ring.adjusted(1, 1, -1, -1));
        }
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, image);
    painter.restore();
}

void drawRegion(const CanvasShape& shape, const Panel& panel, const ImageProviding& images, QPainter& painter,
                RenderCache* cache)
{
    const Rect clip = shape.rect().standardized().intersection(frame(panel));
    if (clip.isNull() || clip.width() < 1 || clip.height() < 1)
        return;
    const QImage image = images.image(panel.imageID);
    if (image.isNull())
        return;
    const Point first = imagePointFromCanvas(panel, {clip.minX(), clip.minY()});
    const Point second = imagePointFromCanvas(panel, {clip.maxX(), clip.maxY()});
    const auto region = Filters::imageRegion(first, second, panel.pixelSize);
    const auto request = Filters::filterRequest(shape.kind, shape.style, pointsPerPixel(panel));
    if (!region || !request)
        return;
    const QImage piece =
        cache ? cache->regionImage(image, *region, *request) : Filters::regionImage(image, *region, *request);
    if (piece.isNull())
        return;
    const Point contentMin = contentPointFromImage(panel, {region->minX(), region->minY()});
    const Point contentMax = contentPointFromImage(panel, {region->maxX(), region->maxY()});
    Filters::drawPiece(painter, piece, request->mode, clip, contentToCanvas(panel),
                       Rect::corner(contentMin, contentMax).standardized());
}

} // namespace vorlix::Renderer
