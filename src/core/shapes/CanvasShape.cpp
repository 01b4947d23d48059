#include "core/shapes/CanvasShape.h"

#include "core/shapes/CursorGeometry.h"
#include "core/shapes/CurvePath.h"
#include "core/shapes/ShapeGeometry.h"
#include "core/shapes/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

Rect grown(const Rect& r, double g) { return r.insetBy(-g, -g); }

Rect squareAround(Point c, double half) { return Rect(c.x - half, c.y - half, 2 * half, 2 * half); }

std::optional<Point> bendOf(const std::vector<Point>& points)
{
    if (points.size() >= 3)
        return points[2];
    return std::nullopt;
}

std::vector<Point> corners(const Rect& r) { return {{r.minX(), r.minY()}, {r.maxX(), r.maxY()}}; }

} // namespace

Rect CanvasShape::rect() const
{
    if (points.empty())
        return Rect(0, 0, 0, 0);
    if (points.size() == 1)
        return Rect(points[0], Size{});
    return Rect::corner(points[0], points[1]);
}

Point CanvasShape::bendPoint() const
{
    if (points.size() >= 3)
        return points[2];
    if (points.size() == 2)
        return (points[0] + points[1]) * 0.5;
    if (points.size() == 1)
        return points[0];
    return {};
}

Rect CanvasShape::textFrame() const
{
    if (points.empty())
        return Rect(Point{}, TextLayout::size(text, style, std::nullopt));
    if (kind == AnnotationKind::callout && points.size() >= 3) {
        const double w = std::max(points[2].x - points[0].x, minimumCalloutWidth);
        const Size measured = TextLayout::size(text, style, w);
        return Rect(points[0].x, points[0].y, w, std::max(points[2].y - points[0].y, measured.height));
    }
    return Rect(points[0], TextLayout::size(text, style, std::nullopt));
}

std::optional<LensGeometry> CanvasShape::lens() const
{
    if (kind != AnnotationKind::lens || points.size() < 3)
        return std::nullopt;
    return LensGeometry(points, style);
}

Rect CanvasShape::shapeBounds() const
{
    switch (kind) {
    case AnnotationKind::rectangle:
    case AnnotationKind::ellipse:
        return grown(rect(), style.lineWidth / 2);
    case AnnotationKind::pixelate:
    case AnnotationKind::blur:
    case AnnotationKind::spotlight:
        return rect();
    case AnnotationKind::highlighter:
    case AnnotationKind::pencil:
        return points.empty() ? Rect::null() : grown(Rect::boundingBox(points), style.lineWidth / 2);
    case AnnotationKind::number:
        return points.empty() ? Rect::null() : squareAround(points[0], numberRadius());
    case AnnotationKind::stamp:
        return points.empty() ? Rect::null() : squareAround(points[0], stampRadius());
    case AnnotationKind::text:
        return textFrame();
    case AnnotationKind::callout:
        if (points.size() < 2)
            return textFrame();
        return grown(textFrame().united(Rect(points[1], Size{})), style.lineWidth);
    case AnnotationKind::arrow:
        return points.size() < 2 ? Rect::null() : ArrowGeometry(points, style).bounds();
    case AnnotationKind::line: {
        if (points.size() < 2)
            return Rect::null();
        const CurvePath path(points[0], points[1], bendOf(points));
        Rect r = grown(path.bounds(), LineGeometry::reach(style));
        if (const auto measure = MeasureGeometry::make(*this))
            r = r.united(measure->bounds());
        return r;
    }
    case AnnotationKind::cursor:
        return points.empty() ? Rect::null() : CursorGeometry::bounds(style, points[0]);
    case AnnotationKind::lens:
        return points.size() < 3 ? Rect::null() : LensGeometry(points, style).bounds();
    }
    return Rect::null();
}

Rect CanvasShape::bounds() const
{
    const Rect r = shapeBounds();
    if (style.shapeOutline && isOutlinable(kind) && !r.isNull())
        return grown(r, std::min(std::max(style.lineWidth * 0.3, 1.5), 4.0));
    return r;
}

bool CanvasShape::hitTest(Point p, double t) const
{
    const bool filled = style.fill != FillMode::none;
    switch (kind) {
    case AnnotationKind::arrow: {
        if (points.size() < 2)
            return false;
        const ArrowGeometry g(points, style);
        return g.path.isNear(p, t + std::max(g.shaftEndWidth / 2, 3.0)) || p.distance(points[1]) <= t + g.headHalfWidth;
    }
    case AnnotationKind::line: {
        if (points.size() < 2)
            return false;
        const CurvePath path(points[0], points[1], bendOf(points));
        if (path.isNear(p, t + LineGeometry::reach(style)))
            return true;
        const auto measure = MeasureGeometry::make(*this);
        return measure && grown(measure->labelRect, t).contains(p);
    }
    case AnnotationKind::rectangle: {
        if (filled)
            return grown(rect(), t).contains(p);
        const double w = t + style.lineWidth / 2;
        const Rect inner = rect().insetBy(w, w);
        const bool innerEmpty = inner.isNull() || inner.width() <= 0 || inner.height() <= 0;
        return grown(rect(), w).contains(p) && (innerEmpty || !inner.contains(p));
    }
    case AnnotationKind::ellipse: {
        const Rect r = rect();
        if (r.width() <= 0 || r.height() <= 0)
            return false;
        const double a = r.width() / 2;
        const double b = r.height() / 2;
        const double dist = std::hypot((p.x - r.midX()) / a, (p.y - r.midY()) / b);
        if (filled && dist <= 1)
            return true;
        return std::abs(dist - 1) * std::min(a, b) <= t + style.lineWidth / 2;
    }
    case AnnotationKind::text:
        return grown(textFrame(), t).contains(p);
    case AnnotationKind::callout: {
        const Rect frame = textFrame();
        if (grown(frame, t).contains(p))
            return true;
        if (points.size() < 2)
            return false;
        return p.distanceToSegment(frame.center(), points[1]) <= t + 6;
    }
    case AnnotationKind::highlighter:
        return points.size() >= 2 && p.distanceToSegment(points[0], points[1]) <= t + style.lineWidth / 2;
    case AnnotationKind::pencil: {
        if (points.empty())
            return false;
        const double w = t + style.lineWidth / 2;
        if (points.size() == 1)
            return p.distance(points[0]) <= w;
        for (std::size_t i = 1; i < points.size(); ++i)
            if (p.distanceToSegment(points[i - 1], points[i]) <= w)
                return true;
        return false;
    }
    case AnnotationKind::number:
        return !points.empty() && p.distance(points[0]) <= t + numberRadius();
    case AnnotationKind::stamp:
        return !points.empty() && std::abs(p.x - points[0].x) <= t + stampRadius() &&
               std::abs(p.y - points[0].y) <= t + stampRadius();
    case AnnotationKind::cursor:
        return grown(bounds(), t).contains(p);
    case AnnotationKind::pixelate:
    case AnnotationKind::blur:
        return grown(rect(), t).contains(p);
    case AnnotationKind::spotlight: {
        const double w = t + 6;
        const Rect inner = rect().insetBy(w, w);
        if (!grown(rect(), w).contains(p))
            return false;
        return inner.isEmpty() || !inner.contains(p);
    }
    case AnnotationKind::lens: {
        const auto g = lens();
        if (!g)
            return false;
        return grown(g->sourceRect, t).containsInEllipse(p) || grown(g->magnifiedRect, t).containsInEllipse(p);
    }
    }
    return false;
}

std::vector<HandlePosition> CanvasShape::rectHandles(const Rect& r)
{
    return {
        {Handle::plain(HandleKind::topLeft), {r.minX(), r.minY()}},
        {Handle::plain(HandleKind::top), {r.midX(), r.minY()}},
        {Handle::plain(HandleKind::topRight), {r.maxX(), r.minY()}},
        {Handle::plain(HandleKind::right), {r.maxX(), r.midY()}},
        {Handle::plain(HandleKind::bottomRight), {r.maxX(), r.maxY()}},
        {Handle::plain(HandleKind::bottom), {r.midX(), r.maxY()}},
        {Handle::plain(HandleKind::bottomLeft), {r.minX(), r.maxY()}},
        {Handle::plain(HandleKind::left), {r.minX(), r.midY()}},
    };
}

std::vector<HandlePosition> CanvasShape::handles() const
{
    switch (kind) {
    case AnnotationKind::arrow:
    case AnnotationKind::line:
        if (points.size() < 2)
            return {};
        return {{Handle::endpoint(0), points[0]},
                {Handle::endpoint(1), points[1]},
                {Handle::plain(HandleKind::bend), bendPoint()}};
    case AnnotationKind::rectangle:
    case AnnotationKind::ellipse:
    case AnnotationKind::pixelate:
    case AnnotationKind::blur:
    case AnnotationKind::spotlight:
        return rectHandles(rect());
    case AnnotationKind::callout: {
        if (points.size() < 2)
            return {};
        auto out = rectHandles(textFrame());
        out.push_back({Handle::endpoint(1), points[1]});
        return out;
    }
    case AnnotationKind::highlighter:
        if (points.size() < 2)
            return {};
        return {{Handle::endpoint(0), points[0]}, {Handle::endpoint(1), points[1]}};
    case AnnotationKind::lens: {
        const auto g = lens();
        if (!g)
            return {};
        auto out = rectHandles(g->sourceRect);
        for (auto [handle, position] : rectHandles(g->magnifiedRect))
            out.push_back({Handle::magnified(handle.kind), position});
        return out;
    }
    case AnnotationKind::text:
    case AnnotationKind::pencil:
    case AnnotationKind::number:
    case AnnotationKind::stamp:
    case AnnotationKind::cursor:
        return {};
    }
    return {};
}

std::vector<Point> CanvasShape::resized(const Handle& handle, Point to, bool constrained) const
{
    if (kind == AnnotationKind::callout && points.size() >= 2) {
        if (handle.kind == HandleKind::endpoint) {
            std::vector<Point> out = points;
            out[1] = to;
            return out;
        }
        const Rect f = resizedRect(textFrame(), handle, to, constrained);
        const double w = std::max(f.width(), minimumCalloutWidth);
        const bool leftEdge = handle.kind == HandleKind::left || handle.kind == HandleKind::topLeft ||
                              handle.kind == HandleKind::bottomLeft;
        const double x = leftEdge ? std::min(f.maxX() - w, f.minX()) : f.minX();
        return {{x, f.minY()}, points[1], {x + w, f.maxY()}};
    }
    if (const auto g = lens()) {
        std::vector<Point> out;
        if (handle.kind == HandleKind::magnified) {
            const Rect m = resizedRect(g->magnifiedRect, Handle::plain(handle.inner), to, constrained);
            return LensGeometry::points(g->sourceRect, m);
        }
        if (handle.kind == HandleKind::moveMagnified) {
            const Rect& m = g->magnifiedRect;
            return LensGeometry::points(g->sourceRect, m.offsetBy(to.x - m.midX(), to.y - m.midY()));
        }
        return LensGeometry::points(resizedRect(g->sourceRect, handle, to, constrained), g->magnifiedRect);
    }
    switch (handle.kind) {
    case HandleKind::endpoint: {
        if (points.size() < 2 || (handle.index != 0 && handle.index != 1))
            return points;
        const auto i = static_cast<std::size_t>(handle.index);
        const Point anchor = points[1 - i];
        const Point target = constrained ? to.snappedAngle(anchor) : to;
        std::vector<Point> out = points;
        out[i] = target;
        if (out.size() >= 3)
            out[2] = points[2].mapped(anchor, points[i], anchor, target);
        return out;
    }
    case HandleKind::magnified:
    case HandleKind::moveMagnified:
        return points;
    case HandleKind::bend:
        if (points.size() < 2)
            return points;
        if (to.distanceToSegment(points[0], points[1]) < 3)
            return {points[0], points[1]};
        return {points[0], points[1], to};
    case HandleKind::topLeft:
    case HandleKind::top:
    case HandleKind::topRight:
    case HandleKind::right:
    case HandleKind::bottomRight:
    case HandleKind::bottom:
    case HandleKind::bottomLeft:
    case HandleKind::left:
        return corners(resizedRect(rect(), handle, to, constrained));
    }
    return points;
}

Rect CanvasShape::resizedRect(const Rect& rect, const Handle& handle, Point to, bool constrained)
{
    if (!handle.isRectHandle())
        return rect;
    double left = rect.minX(), top = rect.minY(), right = rect.maxX(), bottom = rect.maxY();
    const HandleKind k = handle.kind;
    if (k == HandleKind::topLeft || k == HandleKind::bottomLeft || k == HandleKind::left)
        left = to.x;
    if (k == HandleKind::topRight || k == HandleKind::bottomRight || k == HandleKind::right)
        right = to.x;
    if (k == HandleKind::topLeft || k == HandleKind::topRight || k == HandleKind::top)
        top = to.y;
    if (k == HandleKind::bottomLeft || k == HandleKind::bottomRight || k == HandleKind::bottom)
        bottom = to.y;

    if (constrained && rect.width() > 0 && rect.height() > 0) {
        const double a = rect.width() / rect.height();
        const double dx = right - left;
        const double dy = bottom - top;
        if (k == HandleKind::top || k == HandleKind::bottom) {
            const double w = std::abs(dy) * a;
            left = rect.midX() - w / 2;
            right = rect.midX() + w / 2;
        } else if (k == HandleKind::left || k == HandleKind::right) {
            const double h = std::abs(dx) / a;
            top = rect.midY() - h / 2;
            bottom = rect.midY() + h / 2;
        } else {
            const bool byHeight = std::abs(dy) > std::abs(dx) / a;
            const double w = byHeight ? std::abs(dy) * a : std::abs(dx);
            const double h = byHeight ? std::abs(dy) : std::abs(dx) / a;
            const double sx = dx < 0 ? -1 : 1;
            const double sy = dy < 0 ? -1 : 1;
            switch (k) {
            case HandleKind::topLeft:
                left = right - w * sx;
                top = bottom - h * sy;
                break;
            case HandleKind::topRight:
                right = left + w * sx;
                top = bottom - h * sy;
                break;
            case HandleKind::bottomRight:
                right = left + w * sx;
                bottom = top + h * sy;
                break;
            case HandleKind::bottomLeft:
                left = right - w * sx;
                bottom = top + h * sy;
                break;
            case HandleKind::endpoint:
            case HandleKind::magnified:
            case HandleKind::bend:
            case HandleKind::moveMagnified:
            case HandleKind::top:
            case HandleKind::right:
            case HandleKind::bottom:
            case HandleKind::left:
                break;
            }
        }
    }
    return Rect::corner({left, top}, {right, bottom});
}

} // namespace vorlix
