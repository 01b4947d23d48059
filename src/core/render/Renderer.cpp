#include "core/render/Renderer.h"

#include "core/model/ExportOptions.h"
#include "core/document/DocumentAnnotations.h"
#include "core/render/Filters.h"
#include "core/document/PanelCaptions.h"
#include "core/document/PanelShapes.h"
#include "core/shapes/QtConversions.h"
#include "core/render/Shadow.h"
#include "core/shapes/ShapeGeometry.h"
#include "core/render/RenderCache.h"
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

const Shadow panelShadowLook{{0, 6}, 22, {0, 0, 0, 0.35}};
const Shadow lensShadowLook{{0, 3}, 10, {0, 0, 0, 0.35}};
constexpr double maximumSpotlightDim = 0.95;

QTransform toQTransform(const AffineTransform& t) { return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty); }

QColor grey(double white, double alpha) { return toQColor(RGBAColor{white, white, white, alpha}); }

QPen pen(const QColor& color, double width, Qt::PenCapStyle cap = Qt::RoundCap, Qt::PenJoinStyle join = Qt::RoundJoin)
{
    QPen p(color, width, Qt::SolidLine, cap, join);
    p.setMiterLimit(10);
    return p;
}

QPainterPath roundedRectPath(const Rect& rect, double radius)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (radius > 0)
        path.addRoundedRect(rect.toQt(), radius, radius);
    else
        path.addRect(rect.toQt());
    return path;
}

// The corner radius of a panel's frame, at most half its shorter side.
double panelRadius(const DocumentModel& document, const Panel& panel)
{
    const Rect f = frame(panel);
    return std::max(0.0, std::min({document.panelCornerRadius, f.width() / 2, f.height() / 2}));
}

// The part of `image` inside the whole-pixel rectangle `pixels`, sharing the image's
// memory where the format allows; null when nothing of the image is inside.
QImage subImage(const QImage& image, const QRect& pixels)
{
    const QRect inside = pixels.intersected(image.rect());
    if (inside.isEmpty())
        return {};
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return QImage(image.constScanLine(inside.y()) + static_cast<std::ptrdiff_t>(inside.x()) * 4, inside.width(),
                      inside.height(), image.bytesPerLine(), image.format());
    default:
        return image.copy(inside);
    }
}

// The whole device pixels inside `r` (user space), back in user space, when the painter
// maps user space to device pixels by a plain scale and translation and draws opaque
// colours as they are (full opacity, source-over); nothing otherwise. What is drawn
// opaque over this rectangle hides whatever was beneath it exactly, even antialiased.
std::optional<QRectF> wholeDevicePixelsInside(const QPainter& painter, const QRectF& r)
{
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || !device.isInvertible() || painter.opacity() < 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || !r.isValid())
        return std::nullopt;
    const QRectF d = device.mapRect(r);
    const double left = std::ceil(d.left());
    const double top = std::ceil(d.top());
    const double right = std::floor(d.right());
    const double bottom = std::floor(d.bottom());
    if (!(right > left && bottom > top) || !std::isfinite(right - left) || !std::isfinite(bottom - top))
        return std::nullopt;
    return device.inverted().mapRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
}

// The part of the panel's frame that its image covers with opaque pixels when drawn at
// `density`: inside the frame's rounded corners, one device pixel clear of the image's
// antialiased edges, in whole device pixels. Nothing when the image has alpha.
std::optional<QRectF> opaqueImageArea(const Panel& panel, const QImage& image, double radius, const QPainter& painter)
{
    if (image.isNull() || image.hasAlphaChannel() || panel.pixelSize.width <= 0)
        return std::nullopt;
    const QTransform toCanvas = toQTransform(contentToCanvas(panel));
    const QTransform device = toCanvas * painter.deviceTransform();
    const double pixel = 1 / std::max(std::sqrt(std::abs(painter.deviceTransform().determinant())), minimumDivisor);
    if (device.type() > QTransform::TxScale)
        return std::nullopt;
    const QRectF inner = frame(panel).insetBy(radius, radius).toQt();
    std::optional<QRectF> largest;
    for (const VisibleSegment& segment : visibleSegments(panel)) {
        const QRectF covered =
            toCanvas.mapRect(segment.content.toQt()).adjusted(pixel, pixel, -pixel, -pixel).intersected(inner);
        if (covered.isValid() && (!largest || covered.width() * covered.height() > largest->width() * largest->height()))
            largest = covered;
    }
    return largest ? wholeDevicePixelsInside(painter, *largest) : std::nullopt;
}

// A spotlight's hole: the rectangle spanned by its first two points.
Rect spotlightRect(const CanvasShape& shape)
{
    if (shape.points.size() < 2) {
        const Point p = shape.points.empty() ? Point{} : shape.points.front();
        return {p, Size{}};
    }
    return Rect::corner(shape.points[0], shape.points[1]).standardized();
}

void drawSpotlights(const std::vector<CanvasShape>& shapes, const Panel& panel, QPainter& painter)
{
    double dim = 0;
    for (const CanvasShape& s : shapes)
        dim = std::max(dim, std::clamp(std::isfinite(s.style.filterIntensity) ? s.style.filterIntensity : 0.0, 0.0,
                                       maximumSpotlightDim));
    const Rect panelFrame = frame(panel);
    // One dimming over the frame with a hole per spotlight: the frame less the union of
    // the holes, filled once. This is what a dimming layer with cleared holes shows,
    // without an offscreen picture of the whole panel.
    QPainterPath holes;
    holes.setFillRule(Qt::WindingFill);
    for (const CanvasShape& s : shapes) {
        const Rect r = spotlightRect(s);
        if (r.width() <= 0 || r.height() <= 0)
            continue;
        const double radius = std::max(0.0, std::min({s.style.cornerRadius, r.width() / 2, r.height() / 2}));
        holes.addPath(roundedRectPath(r, radius));
    }
    QPainterPath dimmed = roundedRectPath(panelFrame, 0);
    if (!holes.isEmpty())
        dimmed = dimmed.subtracted(holes.simplified());

    painter.save();
    painter.setClipRect(panelFrame.toQt(), Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(grey(0, dim));
    painter.drawPath(dimmed);
    painter.restore();
}

void drawLens(const CanvasShape& shape, const Panel& panel, const ImageProviding& images, QPainter& painter)
{
    if (shape.kind != AnnotationKind::lens || shape.points.size() < 3)
        return;
    const LensGeometry g(shape.points, shape.style);
    const double w = shape.style.lineWidth;
    const double thin = std::max(w * 0.6, 1.0);
    const QColor stroke = toQColor(shape.style.strokeColor);

    painter.save();
    if (const auto connector = g.connector(); connector && thin > 0) {
        painter.setPen(pen(stroke, thin));
        painter.drawLine(QPointF(connector->first.x, connector->first.y), QPointF(connector->second.x, connector->second.y));
    }
    const QRectF magnified = g.magnifiedRect.toQt();
    QPainterPath disc;
    disc.addEllipse(magnified);
    drawPathShadow(painter, lensShadowLook, disc, Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(disc);

    if (const QImage image = images.image(panel.imageID); !image.isNull()) {
        painter.save();
        painter.setClipPath(disc, Qt::IntersectClip);
        const Point mc = g.magnifiedCenter();
        const Point sc = g.sourceCenter();
        painter.translate(mc.x, mc.y);
        painter.scale(g.magnification, g.magnification);
        painter.translate(-sc.x, -sc.y);
        drawImagePieces(panel, image, painter);
        painter.restore();
    }

    painter.setBrush(Qt::NoBrush);
    if (w > 0) {
        painter.setPen(pen(stroke, w));
        painter.drawEllipse(magnified);
    }
    painter.setPen(pen(stroke, thin));
    painter.drawEllipse(g.sourceRect.toQt());
    painter.restore();
}

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

// The panel's shadow, then its white frame. The shadow of a large rounded rectangle is
// the same all along each straight edge, so it is blurred once for a small frame with
// the same corners and stretched: nine patches, of which the centre is left out (the
// opaque frame covers it). The cost follows the blur, not the panel's size. The frame
// leaves out `covered`, where the panel's opaque image will hide it.
void drawPanelShadow(const Rect& panelFrame, double radius, const QPainterPath& framePath,
                     const std::optional<QRectF>& covered, QPainter& painter)
{
    const auto fill = [](const QPainterPath& path) {
        return [path](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPath(path);
        };
    };
    const QTransform device = painter.deviceTransform();
    const double s = std::sqrt(std::abs(device.determinant()));
    // Device pixels: the blur's reach (3 sigma, sigma = blur / 2) plus the offset, and
    // the smallest frame whose corners do not meet.
    const int pad = int(std::ceil((panelShadowLook.blur * 1.5 + std::abs(panelShadowLook.offset.x) +
                                   std::abs(panelShadowLook.offset.y)) * s)) + 2;
    const int m = 2 * (pad + int(std::ceil(radius * s))) + 2;
    const double deviceWidth = panelFrame.width() * s;
    const double deviceHeight = panelFrame.height() * s;
    if (device.type() > QTransform::TxScale || !(s > 0) || deviceWidth < m + 2 || deviceHeight < m + 2 ||
        !std::isfinite(deviceWidth * deviceHeight)) {
        drawPathShadow(painter, panelShadowLook, framePath, Qt::white);
    } else {
        const int total = m + 2 * pad;
        QImage patch(total, total, QImage::Format_ARGB32_Premultiplied);
        patch.fill(Qt::transparent);
        {
            QPainter p(&patch);
            p.setRenderHints(painter.renderHints());
            p.scale(s, s);
            const Rect small(pad / s, pad / s, m / s, m / s);
            drawPathShadow(p, panelShadowLook, roundedRectPath(small, radius), Qt::white);
        }
        // Patch columns and rows: [0, half) before, [half, half + 1) stretched, the rest after.
        const int half = pad + m / 2;
        const double stretchX = (deviceWidth - m) / s;
        const double stretchY = (deviceHeight - m) / s;
        const double x0 = panelFrame.minX() - pad / s;
        const double y0 = panelFrame.minY() - pad / s;
        const double xs[] = {x0, x0 + half / s, x0 + (half + 1) / s + stretchX};
        const double ws[] = {half / s, 1 / s + stretchX, (total - half - 1) / s};
        const double ys[] = {y0, y0 + half / s, y0 + (half + 1) / s + stretchY};
        const double hs[] = {half / s, 1 / s + stretchY, (total - half - 1) / s};
        const int sx[] = {0, half, half + 1};
        const int sw[] = {half, 1, total - half - 1};
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                if (row == 1 && column == 1)
                    continue;
                painter.drawImage(QRectF(xs[column], ys[row], ws[column], hs[row]), patch,
                                  QRectF(sx[column], sx[row], sw[column], sw[row]));
            }
        }
        painter.restore();
    }
    QPainterPath visibleFrame = framePath;
    if (covered) {
        // The covered rectangle lies inside the frame: even-odd cuts it out.
        visibleFrame.setFillRule(Qt::OddEvenFill);
        visibleFrame.addRect(*covered);
    }
    painter.save();
    fill(visibleFrame)(painter);
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

// An annotation's shape; a canvas (which passes its cache) composites kept pictures of
// unchanged shapes, exports draw them afresh.
void drawAnnotationShape(QPainter& painter, const QUuid& id, const CanvasShape& shape, std::optional<long long> number,
                         const Options& options)
{
    if (options.cache)
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

// How far a panel's own drawing (frame, image, seams, cursor, spotlights, caption) reaches
// past its frame and caption: its shadow's blur (3 sigma, sigma = blur / 2) and offset.
double panelReach()
{
    return 1.5 * panelShadowLook.blur + std::abs(panelShadowLook.offset.x) + std::abs(panelShadowLook.offset.y);
}

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
        const bool paints = culling.mayPaint(shape.bounds(), annotationReach(shape));
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
    return culling.mayPaint(own, panelReach()) ||
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
        if (!culling.mayPaint(shape.bounds(), annotationReach(shape)))
            continue;
        const auto number = numbers.find(a.id);
        painter.save();
        drawAnnotationShape(painter, a.id, shape, number == numbers.end() ? std::nullopt : std::optional(number->second),
                            options);
        painter.restore();
    }
    painter.restore();
}

void drawImage(const Panel& panel, const ImageProviding& images, QPainter& painter,
               std::optional<double> displayPixelsPerPoint)
{
    drawImagePieces(panel, displayedImage(panel, images, displayPixelsPerPoint), painter);
}

QImage displayedImage(const Panel& panel, const ImageProviding& images, std::optional<double> displayPixelsPerPoint)
{
    const QImage full = images.image(panel.imageID);
    if (full.isNull())
        return {};
    QImage image = full;
    if (displayPixelsPerPoint) {
        const double density = 1 / std::max(pointsPerPixel(panel), minimumDivisor);
        const double p = *displayPixelsPerPoint;
        if (p < density * previewDensityThreshold) {
            const double longest = std::max(panel.pixelSize.width, panel.pixelSize.height);
            const int maxPixelSize = saturatingInt(std::trunc(longest * p / density * previewOversize));
            if (maxPixelSize >= 1) {
                const QImage preview = images.previewImage(panel.imageID, maxPixelSize);
                if (!preview.isNull() && preview.width() < full.width())
                    image = preview;
            }
        }
    }
    return image;
}

void drawImagePieces(const Panel& panel, const QImage& image, QPainter& painter)
{
    if (image.isNull() || panel.pixelSize.width <= 0)
        return;
    // The image may be a reduced copy: source rectangles scale by its width ratio.
    const double f = image.width() / panel.pixelSize.width;
    const Rect whole(0, 0, panel.pixelSize.width, panel.pixelSize.height);
    painter.save();
    painter.setTransform(toQTransform(contentToCanvas(panel)), true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const VisibleSegment& segment : visibleSegments(panel)) {
        const QRectF target = segment.content.toQt();
        if (segment.source == whole) {
            painter.drawImage(target, image);
            continue;
        }
        const Rect s = segment.source;
        const Rect pixels = Rect(s.minX() * f, s.minY() * f, s.width() * f, s.height() * f).integral();
        const QImage piece = subImage(image, QRect(saturatingInt(pixels.minX()), saturatingInt(pixels.minY()),
                                                   saturatingInt(pixels.width()), saturatingInt(pixels.height())));
        if (!piece.isNull())
            painter.drawImage(target, piece);
    }
    painter.restore();
}

void drawStripSeams(const Panel& panel, CutMark mark, QPainter& painter)
{
    const std::vector<StripSeam> seams = stripSeams(panel);
    if (seams.empty())
        return;
    painter.save();
    painter.setClipRect(frame(panel).toQt(), Qt::IntersectClip);
    painter.setBrush(Qt::NoBrush);
    const QPen light = pen(grey(1, 0.95), 4, Qt::FlatCap, Qt::MiterJoin);
    const QPen dark = pen(toQColor(RGBAColor{0.24, 0.24, 0.26, 1}), 1.6, Qt::FlatCap, Qt::MiterJoin);
    for (const StripSeam& seam : seams) {
        std::vector<Point> points;
        switch (mark) {
        case CutMark::zigzag:
            points = zigzagLine(seam.start, seam.end);
            break;
        case CutMark::lightning:
            points = breakLine(seam.start, seam.end);
            break;
        }
        if (points.empty())
            continue;
        QPolygonF polyline;
        polyline.reserve(static_cast<qsizetype>(points.size()));
        for (const Point& p : points)
            polyline << QPointF(p.x, p.y);
        painter.setPen(light);
        painter.drawPolyline(polyline);
        painter.setPen(dark);
        painter.drawPolyline(polyline);
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
    const QRectF rect(tip.x - s * cursor.hotspot.x, tip.y - s * cursor.hotspot.y, s * image.width(), s * image.height());

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
