#include "core/shapes/CursorGeometry.h"

#include <array>

namespace vorlix::CursorGeometry {

namespace {

// A rounded rectangle in unit coordinates: x, y, width, height, corner radius.
struct UnitRoundedRect {
    double x, y, width, height, radius;
};

constexpr std::array<Point, 7> arrowPolygon{{
    {0, 0},
    {0, 0.84},
    {0.2, 0.66},
    {0.34, 0.98},
    {0.47, 0.93},
    {0.33, 0.62},
    {0.59, 0.62},
}};

// Horizontal, centred on the tip.
constexpr std::array<Point, 10> doubleArrowPolygon{{
    {-0.5, 0},
    {-0.28, -0.22},
    {-0.28, -0.075},
    {0.28, -0.075},
    {0.28, -0.22},
    {0.5, 0},
    {0.28, 0.22},
    {0.28, 0.075},
    {-0.28, 0.075},
    {-0.28, 0.22},
}};

// Index finger (its top centre is the tip), three fingers, palm, thumb.
constexpr std::array<UnitRoundedRect, 6> pointingHandRects{{
    {-0.075, 0, 0.15, 0.58, 0.075},
    {0.075, 0.3, 0.13, 0.34, 0.065},
    {0.205, 0.33, 0.13, 0.31, 0.065},
    {0.335, 0.38, 0.12, 0.28, 0.06},
    {-0.2, 0.5, 0.655, 0.48, 0.16},
    {-0.34, 0.5, 0.25, 0.15, 0.075},
}};

// Four knuckles, palm, thumb.
constexpr std::array<UnitRoundedRect, 6> closedHandRects{{
    {-0.27, -0.29, 0.14, 0.32, 0.07},
    {-0.13, -0.33, 0.14, 0.32, 0.07},
    {0.01, -0.32, 0.14, 0.32, 0.07},
    {0.15, -0.27, 0.14, 0.32, 0.07},
    {-0.3, -0.14, 0.6, 0.46, 0.2},
    {-0.44, -0.03, 0.28, 0.18, 0.09},
}};

constexpr std::array<double, 3> fingerLineXs{-0.13, 0.01, 0.15};

// Places unit coordinates: scale by s, then move to the tip.
struct Placement {
    Point tip;
    double s;
    QPointF operator()(double x, double y) const { return {tip.x + s * x, tip.y + s * y}; }
    QPointF operator()(Point p) const { return (*this)(p.x, p.y); }
};

template <std::size_t N>
QPainterPath polygon(const std::array<Point, N>& points, const Placement& at, bool swapAxes)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (std::size_t i = 0; i < N; ++i) {
        const Point p = swapAxes ? Point{points[i].y, points[i].x} : points[i];
        if (i == 0)
            path.moveTo(at(p));
        else
            path.lineTo(at(p));
    }
    path.closeSubpath();
    return path;
}

// The first rectangle united with each following one in turn, giving one outline.
QPainterPath unionOfRoundedRects(const std::array<UnitRoundedRect, 6>& rects, const Placement& at)
{
    QPainterPath result;
    bool first = true;
    for (const UnitRoundedRect& r : rects) {
        QPainterPath piece;
        piece.setFillRule(Qt::WindingFill);
        piece.addRoundedRect(QRectF(at(r.x, r.y), at(r.x + r.width, r.y + r.height)), at.s * r.radius, at.s * r.radius);
        if (first) {
            result = piece;
            first = false;
        } else {
            result.setFillRule(Qt::WindingFill);
            result = result.united(piece);
        }
    }
    result.setFillRule(Qt::WindingFill);
    return result;
}

QPainterPath textBeam(const Placement& at)
{
    QPainterPath path;
    path.moveTo(at(-0.14, -0.47));
    path.quadTo(at(-0.03, -0.47), at(0, -0.4));
    path.quadTo(at(0.03, -0.47), at(0.14, -0.47));
    path.moveTo(at(0, -0.4));
    path.lineTo(at(0, 0.4));
    path.moveTo(at(-0.14, 0.47));
    path.quadTo(at(-0.03, 0.47), at(0, 0.4));
    path.quadTo(at(0.03, 0.47), at(0.14, 0.47));
    return path;
}

QPainterPath fingerLines(const Placement& at)
{
    QPainterPath path;
    for (const double x : fingerLineXs) {
        path.moveTo(at(x, -0.22));
        path.lineTo(at(x, -0.06));
    }
    return path;
}

} // namespace

RGBAColor dark() { return {0.05, 0.05, 0.05, 1}; }
RGBAColor light() { return {1, 1, 1, 1}; }

double size(const Style& style)
{
    // Written so that a NaN font size also falls back to the floor.
    return style.fontSize > 8 ? style.fontSize : 8;
}

Drawing drawing(const Style& style, Point tip)
{
    const double s = size(style);
    const Placement at{tip, s};
    Drawing d;
    switch (style.cursorShape) {
    case CursorShape::arrow:
    case CursorShape::whiteArrow: {
        const bool white = style.cursorShape == CursorShape::whiteArrow;
        d.fill = polygon(arrowPolygon, at, false);
        d.fillColor = white ? light() : dark();
        d.edgeColor = white ? dark() : light();
        d.edgeWidth = 0.06 * s;
        break;
    }
    case CursorShape::pointingHand:
        d.fill = unionOfRoundedRects(pointingHandRects, at);
        d.fillColor = light();
        d.edgeColor = dark();
        d.edgeWidth = 0.05 * s;
        break;
    case CursorShape::textBeam:
        d.beam = textBeam(at);
        d.fillColor = dark();
        d.edgeColor = light();
        d.edgeWidth = 0.07 * s;
        break;
    case CursorShape::resize:
    case CursorShape::resizeVertical:
        d.fill = polygon(doubleArrowPolygon, at, style.cursorShape == CursorShape::resizeVertical);
        d.fillColor = dark();
        d.edgeColor = light();
        d.edgeWidth = 0.06 * s;
        break;
    case CursorShape::closedHand:
        d.fill = unionOfRoundedRects(closedHandRects, at);
        d.details = fingerLines(at);
        d.fillColor = light();
        d.edgeColor = dark();
        d.edgeWidth = 0.05 * s;
        break;
    }
    return d;
}

Rect bounds(const Style& style, Point tip)
{
    const Drawing d = drawing(style, tip);
    const std::optional<QPainterPath>& outline = d.fill ? d.fill : d.beam;
    Rect box = Rect::null();
    if (outline) {
        // boundingRect() is the tight box of the curves, not of their control points.
        box = Rect::fromQt(outline->boundingRect()).insetBy(-2 * d.edgeWidth, -2 * d.edgeWidth);
    }
    if (style.clickMark)
        box = box.united(clickRing(style, tip).insetBy(-3, -3));
    return box;
}

Rect clickRing(const Style& style, Point tip)
{
    const double r = size(style) * 0.55;
    return Rect(tip.x - r, tip.y - r, 2 * r, 2 * r);
}

} // namespace vorlix::CursorGeometry
