#include "core/render/AnnotationDrawing.h"

#include "core/render/Layer.h"
#include "core/render/PathCache.h"
#include "core/render/Shadow.h"
#include "core/render/ShapeEffects.h"
#include "core/render/StrokeCoverage.h"
#include "core/shapes/CursorGeometry.h"
#include "core/shapes/CurvePath.h"
#include "core/shapes/PencilGeometry.h"
#include "core/shapes/QtConversions.h"
#include "core/shapes/ShapeGeometry.h"
#include "core/shapes/TextLayout.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vorlix::Renderer {

namespace {

// How far the drawing of a shape may reach past its shape bounds (miter corners, text
// outlines, the callout's shadow): the margin of its opacity layer.
constexpr double layerMargin = 16;

// Leading entries of the shape path cache's keys, one per kind of path.
constexpr double calloutBubbleTag = 1;
constexpr double strokeOutlineTag = 2;

// Pencil strokes with more points than this are drawn at the device's resolution
// (simplified to within a quarter of a device pixel) and in pieces; shorter ones, which
// is every stroke drawn by hand, are drawn exactly as stored.
constexpr std::size_t pencilPointsDrawnAsStored = 1024;
constexpr double pencilDrawingTolerance = 0.25;
// Filling one stroke outline costs the raster engine more than linear time in its
// elements: long strokes are filled a piece of this many curves at a time.
constexpr std::size_t pencilCurvesPerPiece = 256;
// A long stroke is drawn from its pixel coverage (StrokeCoverage) once, after
// simplification, more than pencilPointsDrawnAsStored of its segments reach the visible
// device area and its ink there (visible length times width) would cover that area this
// many times over. Only crafted or pasted strokes get there (points scattered over the
// view, or a line width of hundreds of pixels): the stroker's cost grows with every
// segment and every covered pixel, while the coverage costs one short step per segment
// and pixel row and one per pixel. Those strokes are drawn with aliased edges, along
// the polyline through their simplified points rather than the curves between them.
constexpr double pencilCoverageBudget = 16;

// A pen in canvas points, with the miter limit of 10 rather than Qt's 2. Dashes are 3
// and 2.2 times max(width, 1) points long; Qt measures dash patterns in units of
// max(pen width, 1), so the pattern in its units is always 3 and 2.2.
QPen strokePen(const RGBAColor& color, double width, bool dashed, Qt::PenCapStyle cap = Qt::RoundCap,
               Qt::PenJoinStyle join = Qt::RoundJoin)
{
    QPen pen(QBrush(toQColor(color)), width, Qt::SolidLine, cap, join);
    pen.setMiterLimit(10);
    if (dashed && width > 0) {
        const double unit = std::max(width, 1.0);
        const std::array<double, 2> dash = Style::dashPattern(width);
        pen.setDashPattern({dash[0] / unit, dash[1] / unit});
        pen.setDashOffset(0);
    }
    return pen;
}

// Strokes `path`; a width of 0 or less draws nothing (Qt would draw a hairline).
// `keep` false leaves the outline out of the cache (the pieces of a long stroke would
// crowd out every other shape).
// Solid pens wider than a device pixel under a uniform scale fill the stroke's outline,
// kept in the shape path cache by path, pen and scale: building the outline (joins,
// caps) costs far more than filling it, and unchanged shapes are stroked again on every
// redraw, in every coverage picture of a halo and every chalk pass. The outline is built
// at device size and scaled back, so the pixels are the same. Curved paths are kept only
// at one device pixel per point: at other scales the stroker's curve offsetting differs
// slightly from the paint engine's. Thinner and dashed pens and other transforms are
// stroked by the paint engine.
void strokePath(QPainter& painter, const QPainterPath& path, const QPen& pen, bool keep = true)
{
    if (!(pen.widthF() > 0))
        return;
    const QTransform device = painter.deviceTransform();
    const double scale = device.m11();
    const bool cacheable = keep && pen.style() == Qt::SolidLine && !pen.isCosmetic() &&
                           device.type() <= QTransform::TxScale && scale > 0 && device.m22() == scale &&
                           std::isfinite(scale) && pen.widthF() * scale > 1.5 && path.elementCount() > 0;
    if (!cacheable) {
        painter.strokePath(path, pen);
        return;
    }
    std::vector<double> key{
        strokeOutlineTag, pen.widthF(), static_cast<double>(pen.capStyle()), static_cast<double>(pen.joinStyle()),
        pen.miterLimit(), scale};
    key.reserve(key.size() + 3 * static_cast<std::size_t>(path.elementCount()));
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isCurveTo() && scale != 1) {
            painter.strokePath(path, pen);
            return;
        }
        key.insert(key.end(), {static_cast<double>(e.type), e.x, e.y});
    }
    const QPainterPath outline = PathCache::forThisThread().path(key, [&] {
        QPen devicePen = pen;
        devicePen.setWidthF(pen.widthF() * scale);
        QPainterPath stroke =
            QPainterPathStroker(devicePen).createStroke(QTransform::fromScale(scale, scale).map(path));
        stroke = QTransform::fromScale(1 / scale, 1 / scale).map(stroke);
        stroke.setFillRule(Qt::WindingFill);
        return stroke;
    });
    painter.fillPath(outline, pen.brush());
}

void fillPath(QPainter& painter, QPainterPath path, const RGBAColor& color)
{
    path.setFillRule(Qt::WindingFill);
    painter.fillPath(path, QBrush(toQColor(color)));
}

// Fills `path` with `color` as the fill mode says; the gradient runs from the top to
// the bottom of `area`, from the colour lightened by 60 % to the colour itself.
void fillByMode(QPainter& painter, QPainterPath path, const RGBAColor& color, const Style& style, const Rect& area)
{
    path.setFillRule(Qt::WindingFill);
    switch (style.fill) {
    case FillMode::none:
        return;
    case FillMode::solid:
        painter.fillPath(path, QBrush(toQColor(color)));
        return;
    case FillMode::translucent:
        painter.fillPath(path, QBrush(toQColor(color.withAlpha(color.alpha * style.fillOpacity))));
        return;
    case FillMode::gradient: {
        const auto lighten = [](double c) { return c + (1 - c) * 0.6; };
        const RGBAColor light{lighten(color.red), lighten(color.green), lighten(color.blue), color.alpha};
        QLinearGradient gradient(QPointF(area.midX(), area.minY()), QPointF(area.midX(), area.maxY()));
        gradient.setColorAt(0, toQColor(light));
        gradient.setColorAt(1, toQColor(color));
        painter.fillPath(path, QBrush(gradient));
        return;
    }
    }
}

QPainterPath circlePath(Point center, double r)
{
    QPainterPath path;
    path.addEllipse(center.toQt(), r, r);
    return path;
}

void drawRectangular(QPainter& painter, const CanvasShape& shape)
{
    const Rect r = shape.rect();
    if (r.width() <= 0 && r.height() <= 0)
        return;
    const Style& style = shape.style;
    QPainterPath path;
    if (shape.kind == AnnotationKind::ellipse) {
        path.addEllipse(r.toQt());
    } else {
        const double radius = std::max(0.0, std::min({style.cornerRadius, r.width() / 2, r.height() / 2}));
        path.addRoundedRect(r.toQt(), radius, radius);
    }
    fillByMode(painter, path, style.effectiveFillColor(), style, r);
    if (style.lineWidth > 0)
        strokePath(painter, path, strokePen(style.strokeColor, style.lineWidth, style.dashed));
}

void drawLine(QPainter& painter, const CanvasShape& shape)
{
    if (shape.points.size() < 2)
        return;
    const Style& style = shape.style;
    const std::optional<Point> through = shape.points.size() >= 3 ? std::optional(shape.points[2]) : std::nullopt;
    const CurvePath curve(shape.points[0], shape.points[1], through);
    strokePath(painter, polylinePath(curve.points()), strokePen(style.strokeColor, style.lineWidth, style.dashed));
    if (style.lineDots) {
        const double r = LineGeometry::dotRadius(style);
        QPainterPath dots = circlePath(shape.points[0], r);
        dots.addPath(circlePath(shape.points[1], r));
        fillPath(painter, dots, style.strokeColor);
    }
}

// The largest stretch of the painter's device transform (its Frobenius norm, which is
// never below it): how many device pixels one unit of the stroke may span.
double deviceStretch(const QPainter& painter)
{
    const QTransform t = painter.deviceTransform();
    return std::sqrt(t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22());
}

// The length of the segment from `a` to `b` inside `area` (Liang-Barsky clipping).
double lengthInside(QPointF a, QPointF b, const QRectF& area)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    const auto clip = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!clip(-dx, a.x() - area.left()) || !clip(dx, area.right() - a.x()) || !clip(-dy, a.y() - area.top()) ||
        !clip(dy, area.bottom() - a.y()))
        return 0;
    const double length = std::sqrt(dx * dx + dy * dy);
    return (t1 - t0) * (std::isfinite(length) ? length : std::hypot(dx, dy));
}

// Adds the dashes of the polyline `points` to `coverage`: `dash` on, `gap` off, from the
// polyline's start, the phase running on across its corners.
void addDashes(StrokeCoverage& coverage, const std::vector<QPointF>& points, double dash, double gap)
{
    bool on = true;
    double left = dash; // of the current dash or gap
    for (std::size_t i = 1; i < points.size(); ++i) {
        QPointF from = points[i - 1];
        const QPointF to = points[i];
        double length = std::hypot(to.x() - from.x(), to.y() - from.y());
        while (length > 0) {
            const double step = std::min(left, length);
            const QPointF end = from + (to - from) * (step / length);
            if (on)
                coverage.addSegment(from, end);
            from = end;
            length -= step;
            left -= step;
            if (left <= 0) {
                on = !on;
                left = on ? dash : gap;
            }
        }
    }
}

// PencilGeometry::simplifyForDrawing, remembering the last stroke simplified on this
// thread: chalk draws a stroke four times and a halo many, and an unchanged stroke is
// drawn again on every redraw. Comparing the points costs far less than simplifying them.
std::vector<Point> simplifiedForDrawing(const std::vector<Point>& points, double tolerance)
{
    struct Last {
        std::vector<Point> points;
        double tolerance = -1;
        std::vector<Point> simplified;
    };
    thread_local Last last;
    if (last.tolerance != tolerance || last.points != points) {
        last.simplified = PencilGeometry::simplifyForDrawing(points, tolerance);
        last.points = points;
        last.tolerance = tolerance;
    }
    return last.simplified;
}

// Draws a long stroke from its coverage when it is beyond the stroker's budget (see
// pencilCoverageBudget) and the device transform keeps its round pen round; false
// leaves it to be stroked.
bool drawAsCoverage(QPainter& painter, const std::vector<Point>& points, const Style& style)
{
    const QTransform device = painter.deviceTransform();
    const double sx = std::hypot(device.m11(), device.m12());
    const double sy = std::hypot(device.m21(), device.m22());
    if (device.type() > QTransform::TxRotate || !std::isfinite(sx) || !(sx > 0) || std::abs(sx - sy) > 1e-9 * sx ||
        std::abs(device.m11() * device.m21() + device.m12() * device.m22()) > 1e-9 * sx * sy)
        return false;
    const QRect area = paintableDeviceRect(painter);
    if (area.isEmpty())
        return false;
    const double radius = style.lineWidth * sx / 2;
    std::vector<QPointF> mapped;
    mapped.reserve(points.size());
    for (const Point& p : points)
        mapped.push_back(device.map(p.toQt()));
    const QRectF reach = QRectF(area).adjusted(-radius, -radius, radius, radius);
    std::size_t visibleSegments = 0;
    double visibleLength = 0;
    for (std::size_t i = 1; i < mapped.size(); ++i) {
        const double inside = lengthInside(mapped[i - 1], mapped[i], reach);
        visibleSegments += inside > 0;
        visibleLength += inside;
    }
    if (visibleSegments <= pencilPointsDrawnAsStored ||
        !(visibleLength * 2 * radius > pencilCoverageBudget * area.width() * area.height()))
        return false;

    StrokeCoverage coverage(area, radius);
    if (style.dashed) {
        const std::array<double, 2> dash = Style::dashPattern(style.lineWidth);
        addDashes(coverage, mapped, dash[0] * sx, dash[1] * sx);
    } else {
        coverage.addPolyline(mapped);
    }
    drawAtDevicePixels(painter, coverage.image(toQColor(style.strokeColor)), area.topLeft());
    return true;
}

// A stroke too long to draw point by point in time: simplified to the device's
// resolution, so that its cost follows its drawn length rather than its point count,
// and stroked a piece at a time. The pieces meet with equal round caps; drawn in the
// opaque colour into one layer that takes the colour's alpha, their overlaps do not
// darken a translucent colour. A dashed stroke stays one piece: the dasher measures
// curves its own way, so dashes restarted at a measured offset would drift.
void drawLongPencil(QPainter& painter, const CanvasShape& shape)
{
    const Style& style = shape.style;
    if (!(style.lineWidth > 0))
        return;
    const double stretch = deviceStretch(painter);
    const double tolerance = std::isfinite(stretch) && stretch > 0 ? pencilDrawingTolerance / stretch : 0;
    const std::vector<Point> drawn = simplifiedForDrawing(shape.points, tolerance);
    if (drawAsCoverage(painter, drawn, style))
        return;
    const std::vector<QPainterPath> pieces = PencilGeometry::smoothPathPieces(
        drawn, style.dashed ? std::numeric_limits<std::size_t>::max() : pencilCurvesPerPiece);

    const auto strokePieces = [&](QPainter& p, const RGBAColor& color) {
        const QPen pen = strokePen(color, style.lineWidth, style.dashed);
        for (const QPainterPath& piece : pieces)
            strokePath(p, piece, pen, pieces.size() == 1);
    };
    if (style.strokeColor.alpha >= 1 || pieces.size() == 1) {
        strokePieces(painter, style.strokeColor);
        return;
    }
    const Rect bounds = shape.shapeBounds();
    Layer layer(painter,
                bounds.isNull() ? std::nullopt : std::optional(bounds.insetBy(-layerMargin, -layerMargin).toQt()),
                style.strokeColor.alpha);
    if (!layer.isEmpty())
        strokePieces(layer.painter(), style.strokeColor.withAlpha(1));
    layer.end();
}

void drawPencil(QPainter& painter, const CanvasShape& shape)
{
    if (shape.points.empty())
        return;
    const Style& style = shape.style;
    if (shape.points.size() == 1) {
        // The round cap of a zero-length stroke: Qt strokes nothing for one, so the dot
        // is filled directly.
        if (style.lineWidth > 0)
            fillPath(painter, circlePath(shape.points[0], style.lineWidth / 2), style.strokeColor);
        return;
    }
    if (shape.points.size() <= pencilPointsDrawnAsStored) {
        strokePath(painter, PencilGeometry::smoothPath(shape.points),
                   strokePen(style.strokeColor, style.lineWidth, style.dashed));
        return;
    }
    drawLongPencil(painter, shape);
}

void drawHighlighter(QPainter& painter, const CanvasShape& shape)
{
    if (shape.points.size() < 2)
        return;
    QPainterPath path(shape.points[0].toQt());
    path.lineTo(shape.points[1].toQt());
    strokePath(painter, path,
               strokePen(shape.style.strokeColor.vivid(0.75), shape.style.lineWidth, false, Qt::FlatCap));
}

void drawText(QPainter& painter, const CanvasShape& shape)
{
    if (shape.points.empty())
        return;
    const Style& style = shape.style;
    if (style.hasTextBox()) {
        const Rect frame = shape.textFrame();
        QPainterPath box;
        box.addRoundedRect(frame.toQt(), 6, 6);
        fillByMode(painter, box, style.textBoxFillColor(), style, frame);
        if (style.textBoxBorder)
            strokePath(painter, box, strokePen(style.strokeColor, std::max(style.lineWidth, 1.0), false));
    }
    TextLayout::draw(shape.text, style, shape.points[0], painter);
}

void drawCallout(QPainter& painter, const CanvasShape& shape)
{
    if (shape.points.empty())
        return;
    drawCalloutBubble(painter, shape);
    const std::optional<Rect> box = shape.points.size() >= 3 ? std::optional(shape.textFrame()) : std::nullopt;
    TextLayout::draw(shape.text, shape.style, shape.points[0], painter, box);
}

void drawNumber(QPainter& painter, const CanvasShape& shape, std::optional<long long> number)
{
    if (shape.points.empty())
        return;
    const Style& style = shape.style;
    const Point c = shape.points[0];
    fillPath(painter, NumberGeometry::path(c, style), style.strokeColor);

    const double r = std::max(style.fontSize, 8.0) * 0.8;
    Style labelStyle = style;
    labelStyle.fontName.reset();
    labelStyle.fontBold = true;
    const QString text = label(style.numberFormat, number.value_or(1));
    QFont font = TextLayout::font(labelStyle);
    TextLayout::LineMetrics line = TextLayout::lineMetrics(text, font);
    const double w = line.glyphBounds.isNull() ? 0 : line.glyphBounds.width();
    if (w > 1.5 * r) {
        labelStyle.fontSize = style.fontSize * 1.5 * r / w;
        font = TextLayout::font(labelStyle);
        line = TextLayout::lineMetrics(text, font);
    }
    // Centred on the ink of the glyphs, not on the typographic box.
    TextLayout::drawLine(text, font, style.textOutlineColor(), line.originCenteringGlyphs(c), painter);
}

void drawArrow(QPainter& painter, const ArrowGeometry& g, const Style& style)
{
    const std::vector<Point> centerline = g.shaftCenterline();
    if (style.dashed) {
        const double w = (g.shaftStartWidth + g.shaftEndWidth) / 2;
        strokePath(painter, polylinePath(centerline), strokePen(style.strokeColor, w, true));
    } else {
        QPainterPath shaft = polylinePath(strokeOutline(centerline, g.shaftStartWidth, g.shaftEndWidth), true);
        fillPath(painter, shaft, style.strokeColor);
        strokePath(painter, shaft, strokePen(style.strokeColor, 1, false));
    }

    const RGBAColor headColor = style.effectiveArrowHeadColor();
    const auto drawHead = [&](const std::vector<Point>& t) {
        if (t.size() < 3)
            return;
        switch (g.headStyle) {
        case ArrowHeadStyle::filled: {
            const QPainterPath head = polylinePath(t, true);
            fillPath(painter, head, headColor);
            strokePath(painter, head, strokePen(headColor, std::max(g.shaftEndWidth * 0.25, 1.0), false));
            return;
        }
        case ArrowHeadStyle::open:
            strokePath(painter, polylinePath({t[1], t[0], t[2]}), strokePen(headColor, g.headStrokeWidth(), false));
            return;
        case ArrowHeadStyle::outline:
            strokePath(painter, polylinePath(t, true), strokePen(headColor, g.headStrokeWidth(), false));
            return;
        }
    };
    drawHead(g.headTriangle());
    if (g.doubleHead) {
        if (const auto start = g.startHeadTriangle())
            drawHead(*start);
    }
}

void drawMeasure(QPainter& painter, const MeasureGeometry& g, const Style& style)
{
    painter.save();
    if (style.opacity < 1)
        painter.setOpacity(painter.opacity() * std::max(style.opacity, 0.0));
    const QPen pen = strokePen(style.strokeColor, std::max(style.lineWidth * 0.75, 1.5), false);
    for (const MeasureGeometry::Tick& tick : g.ticks) {
        QPainterPath path(tick.start.toQt());
        path.lineTo(tick.end.toQt());
        strokePath(painter, path, pen);
    }
    const Rect pill = g.labelRect;
    const double radius = std::min(pill.height() / 2, 5.0);
    QPainterPath pillPath;
    pillPath.addRoundedRect(pill.toQt(), radius, radius);
    fillPath(painter, pillPath, style.strokeColor);
    const QFont font = TextLayout::font(g.labelStyle);
    const TextLayout::LineMetrics line = TextLayout::lineMetrics(g.label, font);
    TextLayout::drawLine(g.label, font, g.labelColor, line.originCenteringTypographicBox(pill.center()), painter);
    painter.restore();
}

// The kind's own drawing, on a painter whose state may be changed freely.
void drawKind(QPainter& painter, const CanvasShape& shape, std::optional<long long> number)
{
    switch (shape.kind) {
    case AnnotationKind::rectangle:
    case AnnotationKind::ellipse:
        drawRectangular(painter, shape);
        return;
    case AnnotationKind::line:
        drawLine(painter, shape);
        return;
    case AnnotationKind::pencil:
        drawPencil(painter, shape);
        return;
    case AnnotationKind::highlighter:
        drawHighlighter(painter, shape);
        return;
    case AnnotationKind::text:
        drawText(painter, shape);
        return;
    case AnnotationKind::callout:
        drawCallout(painter, shape);
        return;
    case AnnotationKind::number:
        drawNumber(painter, shape, number);
        return;
    case AnnotationKind::stamp:
        if (!shape.points.empty() && !shape.text.isEmpty())
            drawStamp(painter, shape.text, shape.points[0], std::max(shape.style.fontSize, 8.0));
        return;
    case AnnotationKind::cursor:
        if (!shape.points.empty())
            drawCursorShape(painter, shape.style, shape.points[0]);
        return;
    case AnnotationKind::arrow:
        if (shape.points.size() >= 2 && shape.points[0] != shape.points[1])
            drawArrow(painter, ArrowGeometry(shape.points, shape.style), shape.style);
        return;
    case AnnotationKind::pixelate:
    case AnnotationKind::blur:
    case AnnotationKind::spotlight:
    case AnnotationKind::lens:
        return;
    }
}

void drawPlain(QPainter& painter, const CanvasShape& shape, std::optional<long long> number,
               QPainter::CompositionMode highlighterBlend)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (shape.kind == AnnotationKind::highlighter)
        painter.setCompositionMode(highlighterBlend);
    if (shape.style.opacity < 1) {
        // One layer for the whole shape, so that its fill and stroke, or the crossings of
        // a pencil stroke, are not darkened twice.
        const Rect bounds = shape.shapeBounds();
        const std::optional<QRectF> area =
            bounds.isNull()
                ? std::nullopt
                : std::optional(
                      bounds.insetBy(-layerMargin - shape.style.lineWidth, -layerMargin - shape.style.lineWidth)
                          .toQt());
        Layer layer(painter, area, shape.style.opacity);
        if (!layer.isEmpty())
            drawKind(layer.painter(), shape, number);
        layer.end();
    } else {
        drawKind(painter, shape, number);
    }
    painter.restore();
}

} // namespace

void draw(QPainter& painter, const CanvasShape& shape, std::optional<long long> number,
          QPainter::CompositionMode highlighterBlend)
{
    if (const std::optional<MeasureGeometry> measure = MeasureGeometry::make(shape)) {
        CanvasShape line = shape;
        line.style.showsMeasure = false;
        draw(painter, line, number, highlighterBlend);
        drawMeasure(painter, *measure, shape.style);
        return;
    }
    if (isOutlinable(shape.kind) && shape.style.shapeOutline) {
        drawWithOutline(painter, shape);
        return;
    }
    if (isOutlinable(shape.kind) && shape.style.chalk) {
        drawChalk(painter, shape);
        return;
    }
    drawPlain(painter, shape, number, highlighterBlend);
}

void drawCalloutBubble(QPainter& painter, const CanvasShape& shape)
{
    const Style& style = shape.style;
    const std::optional<Point> tip = shape.points.size() >= 2 ? std::optional(shape.points[1]) : std::nullopt;
    const Rect frame = shape.textFrame();
    std::vector<double> key{calloutBubbleTag, frame.origin.x, frame.origin.y, frame.size.width, frame.size.height};
    if (tip)
        key.insert(key.end(), {tip->x, tip->y});
    QPainterPath path = PathCache::forThisThread().path(key, [&] { return CalloutGeometry::bubblePath(frame, tip); });
    path.setFillRule(Qt::WindingFill);
    const RGBAColor boxColor = style.textBoxFillColor();
    const QPen pen = strokePen(style.strokeColor, std::max(style.lineWidth, 1.0), false);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (style.fill != FillMode::none) {
        const Shadow shadow{{0, 2}, 6, {0, 0, 0, 0.28}};
        drawPathShadow(painter, shadow, path, toQColor(boxColor));
        painter.save();
        painter.fillPath(path, QBrush(toQColor(boxColor)));
        painter.restore();
        fillByMode(painter, path, boxColor, style, Rect::fromQt(path.boundingRect()));
        if (style.textBoxBorder)
            strokePath(painter, path, pen);
    } else {
        strokePath(painter, path, pen);
    }
    painter.restore();
}

void drawStamp(QPainter& painter, const QString& text, Point center, double size)
{
    const QFont font = TextLayout::systemFont(size);
    const TextLayout::LineMetrics line = TextLayout::lineMetrics(text, font);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    TextLayout::drawLine(text, font, {0.15, 0.15, 0.15, 1}, line.originCenteringTypographicBox(center), painter);
    painter.restore();
}

void drawCursorShape(QPainter& painter, const Style& style, Point tip)
{
    const double s = CursorGeometry::size(style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (style.clickMark) {
        const RGBAColor orange = AccentColors::orange();
        const QPainterPath ring = circlePath(tip, s * 0.55);
        fillPath(painter, ring, orange.withAlpha(0.28));
        strokePath(painter, ring, strokePen(orange.withAlpha(0.9), std::max(s * 0.06, 1.5), false));
    }
    const CursorGeometry::Drawing d = CursorGeometry::drawing(style, tip);
    if (d.fill) {
        QPainterPath fill = *d.fill;
        fill.setFillRule(Qt::WindingFill);
        painter.fillPath(fill, QBrush(toQColor(d.fillColor)));
        strokePath(painter, fill, strokePen(d.edgeColor, d.edgeWidth, false));
    }
    if (d.details)
        strokePath(painter, *d.details, strokePen(d.edgeColor, d.edgeWidth * 0.8, false));
    if (d.beam) {
        strokePath(painter, *d.beam, strokePen(d.edgeColor, d.edgeWidth * 2.6, false));
        strokePath(painter, *d.beam, strokePen(d.fillColor, d.edgeWidth, false));
    }
    painter.restore();
}

} // namespace vorlix::Renderer
