#include "core/shapes/ShapeGeometry.h"

#include "core/model/Annotation.h"
#include "core/shapes/CanvasShape.h"
#include "core/shapes/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

std::vector<Point> triangle(Point tip, Point base, double halfWidth)
{
    const double d = base.distance(tip);
    const Point u = d == 0 ? Point{1, 0} : (tip - base) * (1 / d);
    const Point n{-u.y, u.x};
    return {tip, base + n * halfWidth, base - n * halfWidth};
}

double shaftInset(ArrowHeadStyle style, double headLength, double shaftEndWidth)
{
    switch (style) {
    case ArrowHeadStyle::filled:
        return 0.35 * headLength;
    case ArrowHeadStyle::open:
        return headLength - 0.3 * shaftEndWidth;
    case ArrowHeadStyle::outline:
        return 0;
    }
    return 0;
}

} // namespace

ArrowGeometry::ArrowGeometry(const std::vector<Point>& points, const Style& style)
    : start(points.at(0)),
      end(points.at(1)),
      path(CurvePath::fromControlPoints(points)),
      headStyle(style.arrowHeadStyle),
      doubleHead(style.arrowDoubleHead)
{
    const double w = std::max(style.lineWidth, 1.0);
    const double length = path.length();
    if (doubleHead) {
        shaftStartWidth = w;
    } else {
        const double t = style.arrowTaper;
        shaftStartWidth = t <= 0 ? 1 : t > 1 ? w : std::max(w * t, 1.0);
    }
    double base = w * 2.6;
    if (base <= 10)
        base = 10;
    double factor = style.arrowHeadScale;
    if (factor <= 0.2)
        factor = 0.2;
    const double h = base * factor;
    const double cap = length * (doubleHead ? 0.3 : 0.6);
    headLength = cap < h ? cap : h;
    headHalfWidth = std::max(headLength * 0.5, w * 0.9);
    shaftEndWidth = w;
}

std::vector<Point> ArrowGeometry::shaftCenterline() const
{
    const double inset = shaftInset(headStyle, headLength, shaftEndWidth);
    const double a = doubleHead ? headLength - inset : 0;
    const double b = path.length() - headLength + inset;
    return path.subpath(a, b);
}

std::vector<Point> ArrowGeometry::shaftPolygon() const
{
    return strokeOutline(shaftCenterline(), shaftStartWidth, shaftEndWidth);
}

Point ArrowGeometry::headBase() const { return path.point(path.length() - headLength); }
Point ArrowGeometry::startHeadBase() const { return path.point(headLength); }

std::vector<Point> ArrowGeometry::headTriangle() const { return triangle(end, headBase(), headHalfWidth); }

std::optional<std::vector<Point>> ArrowGeometry::startHeadTriangle() const
{
    if (!doubleHead)
        return std::nullopt;
    return triangle(start, startHeadBase(), headHalfWidth);
}

double ArrowGeometry::headStrokeWidth() const { return std::max(shaftEndWidth * 0.55, 1.5); }

Rect ArrowGeometry::bounds() const
{
    Rect r = Rect::boundingBox(shaftPolygon()).united(Rect::boundingBox(headTriangle()));
    if (const auto second = startHeadTriangle())
        r = r.united(Rect::boundingBox(*second));
    const double g = headStrokeWidth();
    return r.insetBy(-g, -g);
}

double LineGeometry::dotRadius(const Style& style) { return std::max(style.lineWidth * 1.1, 3.0); }

double LineGeometry::reach(const Style& style)
{
    const double half = style.lineWidth * 0.5;
    const double dot = dotRadius(style);
    return style.lineDots && dot > half ? dot : half;
}

LensGeometry::LensGeometry(const std::vector<Point>& points, const Style& style) : lineWidth(style.lineWidth)
{
    double m = style.filterIntensity;
    if (m <= 1.1)
        m = 1.1;
    if (m > maximumMagnification)
        m = maximumMagnification;
    magnification = m;
    if (points.size() >= 4) {
        sourceRect = Rect::corner(points[0], points[1]);
        magnifiedRect = Rect::corner(points[2], points[3]);
        return;
    }
    const Point p0 = points.at(0);
    double r = p0.distance(points.at(1));
    if (r <= 4)
        r = 4;
    sourceRect = Rect(p0.x - r, p0.y - r, 2 * r, 2 * r);
    const Point q = points.size() == 3 ? points[2] : p0;
    magnifiedRect = Rect(q.x - m * r, q.y - m * r, 2 * m * r, 2 * m * r);
}

std::vector<Point> LensGeometry::points(const Rect& source, const Rect& magnified)
{
    return {{source.minX(), source.minY()},
            {source.maxX(), source.maxY()},
            {magnified.minX(), magnified.minY()},
            {magnified.maxX(), magnified.maxY()}};
}

Rect LensGeometry::defaultMagnifiedRect(const Rect& source, double magnification)
{
    const double w = magnification * source.width();
    const double h = magnification * source.height();
    const double d = ((std::max(w, h) + std::max(source.width(), source.height())) * 0.5 + 16) * 0.7071;
    const Point c{source.midX() + d, source.midY() - d};
    return Rect(c.x - w / 2, c.y - h / 2, w, h);
}

std::optional<std::pair<Point, Point>> LensGeometry::connector() const
{
    const Point c1 = sourceCenter();
    const Point c2 = magnifiedCenter();
    const Point v = c2 - c1;
    const double dist = std::hypot(v.x, v.y);
    if (dist <= 0.5)
        return std::nullopt;
    const Point u = v * (1 / dist);
    const auto edge = [&](const Rect& r) {
        const double a = std::max(r.width() / 2, 0.5);
        const double b = std::max(r.height() / 2, 0.5);
        return 1 / std::sqrt((u.x / a) * (u.x / a) + (u.y / b) * (u.y / b));
    };
    const double t1 = edge(sourceRect);
    const double t2 = edge(magnifiedRect);
    if (!(dist - t2 > t1 + 1))
        return std::nullopt;
    return std::pair{c1 + u * t1, c1 + u * (dist - t2)};
}

Rect LensGeometry::bounds() const
{
    const double g = 6 + lineWidth;
    return sourceRect.united(magnifiedRect).insetBy(-g, -g);
}

std::optional<MeasureGeometry> MeasureGeometry::make(const CanvasShape& shape)
{
    if (shape.kind != AnnotationKind::line || !shape.style.showsMeasure || shape.points.size() < 2 ||
        shape.text.isEmpty())
        return std::nullopt;
    const Point p0 = shape.points[0];
    const Point p1 = shape.points[1];
    const double len = p0.distance(p1);
    Point n = len == 0 ? Point{0, -1} : Point{-(p1.y - p0.y), p1.x - p0.x} * (1 / len);
    const double h = std::max(2 * shape.style.lineWidth + 2, 5.0);

    MeasureGeometry g;
    g.ticks = {{p0 + n * h, p0 - n * h}, {p1 + n * h, p1 - n * h}};
    g.label = shape.text;
    g.labelStyle = shape.style;
    g.labelStyle.fontName.reset();
    g.labelStyle.fontSize = std::max(shape.style.lineWidth * 1.2 + 9, 11.0);
    g.labelStyle.fontBold = true;
    g.labelColor = shape.style.strokeColor.luma() > 0.55 ? RGBAColor::hex("#1C1C1E") : RGBAColor::white();

    const TextLayout::LineMetrics metrics = TextLayout::lineMetrics(shape.text, TextLayout::font(g.labelStyle));
    const double width = std::ceil(metrics.advance) + 12;
    const double height = std::ceil(metrics.ascent + metrics.descent) + 5;
    Point centre = shape.bendPoint();
    if (len < width + 16) {
        if (n.y > 0.01 || (std::abs(n.y) <= 0.01 && n.x < 0))
            n = n * -1;
        centre = centre + n * (h + 4 + (height * std::abs(n.y) + width * std::abs(n.x)) * 0.5);
    }
    g.labelRect = Rect(centre.x - width / 2, centre.y - height / 2, width, height);
    return g;
}

Rect MeasureGeometry::bounds() const
{
    Rect r = labelRect;
    for (const Tick& t : ticks)
        r = r.united(Rect::corner(t.start, t.end));
    return r;
}

QString MeasureGeometry::text(double pixels) { return measureLabel(pixels); }

double NumberGeometry::radius(const Style& style) { return std::max(style.fontSize, 8.0) * 0.8; }

QPainterPath NumberGeometry::path(Point c, const Style& style)
{
    const double r = radius(style);
    const QRectF square(c.x - r, c.y - r, 2 * r, 2 * r);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    switch (style.numberShape) {
    case NumberShape::circle:
        path.addEllipse(square);
        break;
    case NumberShape::drop:
        // Round on three corners, pointed at the bottom left: each rounded corner is a
        // quarter circle of radius r about the centre.
        path.moveTo(square.left(), square.bottom());
        path.lineTo(square.left(), c.y);
        path.arcTo(square, 180, -90);
        path.arcTo(square, 90, -90);
        path.arcTo(square, 0, -90);
        path.closeSubpath();
        break;
    }
    return path;
}

QPainterPath CalloutGeometry::bubblePath(const Rect& box, std::optional<Point> tip)
{
    const Rect b = box.standardized();
    const double r = std::min({cornerRadius, b.width() / 2, b.height() / 2});
    QPainterPath bubble;
    bubble.setFillRule(Qt::WindingFill);
    bubble.addRoundedRect(b.toQt(), r, r);
    if (!tip || b.insetBy(-2, -2).contains(*tip) || b.width() == 0 || b.height() == 0)
        return bubble;

    const Point c = b.center();
    const double dx = tip->x - c.x;
    const double dy = tip->y - c.y;
    Point A;
    Point B;
    if (std::abs(dx) * b.height() > std::abs(dy) * b.width()) {
        const double half = std::clamp(b.height() * 0.2, 8.0, 14.0);
        const double baseX = dx > 0 ? b.maxX() - 2 : b.minX() + 2;
        const double sideX = dx > 0 ? b.maxX() : b.minX();
        const double low = b.minY() + r + half;
        const double high = b.maxY() - r - half;
        const double y = low > high ? b.midY() : std::clamp(c.y + dy * (sideX - c.x) / dx, low, high);
        A = {baseX, y - half};
        B = {baseX, y + half};
    } else {
        const double half = std::clamp(b.width() * 0.12, 8.0, 14.0);
        const double baseY = dy > 0 ? b.maxY() - 2 : b.minY() + 2;
        const double sideY = dy > 0 ? b.maxY() : b.minY();
        const double low = b.minX() + r + half;
        const double high = b.maxX() - r - half;
        const double x = low > high ? b.midX() : std::clamp(c.x + dx * (sideY - c.y) / dy, low, high);
        A = {x - half, baseY};
        B = {x + half, baseY};
    }
    const Point m1 = (A + *tip) * 0.5;
    const Point m2 = (B + *tip) * 0.5;
    const Point k1 = m1 + (m2 - m1) * 0.3;
    const Point k2 = m2 + (m1 - m2) * 0.3;
    QPainterPath tail;
    tail.setFillRule(Qt::WindingFill);
    tail.moveTo(A.toQt());
    tail.quadTo(k1.toQt(), tip->toQt());
    tail.quadTo(k2.toQt(), B.toQt());
    tail.closeSubpath();
    return bubble.united(tail);
}

} // namespace vorlix
