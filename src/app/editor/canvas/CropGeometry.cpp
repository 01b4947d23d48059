#include "app/editor/canvas/CropGeometry.h"

#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelShapes.h"
#include "core/model/PanelGeometry.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

Point clampedInto(Point p, const Rect& limit)
{
    return {std::min(std::max(p.x, limit.minX()), limit.maxX()), std::min(std::max(p.y, limit.minY()), limit.maxY())};
}

double snapped(double edge, double target, double tolerance)
{
    return std::abs(edge - target) < tolerance ? target : edge;
}

Rect fromEdges(double minX, double minY, double maxX, double maxY)
{
    return Rect(std::min(minX, maxX), std::min(minY, maxY), std::abs(maxX - minX), std::abs(maxY - minY));
}

// Edges held to each other's side: a handle on the left stays left of the opposite edge.
bool holdsRight(HandleKind kind)
{
    return kind == HandleKind::topLeft || kind == HandleKind::left || kind == HandleKind::bottomLeft;
}
bool holdsBottom(HandleKind kind)
{
    return kind == HandleKind::topLeft || kind == HandleKind::top || kind == HandleKind::topRight;
}

} // namespace

Rect cropLimit(const DocumentModel& model, const CropSession& session)
{
    Rect limit = workArea(session.preview);
    if (model.panels.size() == 1)
        for (const Annotation& annotation : model.annotations) {
            const Rect bounds = canvasShape(model, annotation, AnnotationOwner::document()).bounds();
            if (!bounds.isNull())
                limit = limit.united(bounds);
        }
    return limit.integral();
}

Rect cropCanvasRect(const CropSession& session) { return canvasRectFromImage(session.preview, session.rect); }

std::optional<Handle> cropHandleAt(const Rect& canvasRect, Point at, double magnification)
{
    const double tolerance = cropHandleCatch / magnification;
    for (const auto& [handle, position] : CanvasShape::rectHandles(canvasRect))
        if (position.distance(at) <= tolerance)
            return handle;
    return std::nullopt;
}

std::optional<Rect> draggedCropRect(const CropDragInput& input)
{
    const Rect& limit = input.limit;
    const Panel& preview = input.session.preview;
    const Rect panelFrame = frame(preview);
    const Point point = input.point;

    Rect r;
    std::optional<Point> newStart;
    std::optional<HandleKind> resizing;
    std::optional<Rect> resizeStart;
    if (const auto* move = std::get_if<cropdrag::Move>(&input.drag)) {
        const Rect moved = move->rect.offsetBy(point.x - move->start.x, point.y - move->start.y);
        r = Rect(std::min(std::max(limit.minX(), moved.minX()), limit.maxX() - moved.width()),
                 std::min(std::max(limit.minY(), moved.minY()), limit.maxY() - moved.height()), moved.width(),
                 moved.height());
    } else if (const auto* resize = std::get_if<cropdrag::Resize>(&input.drag)) {
        r = CanvasShape::resizedRect(resize->rect, resize->handle, clampedInto(point, limit), input.constrained)
                .standardized();
        resizing = resize->handle.kind;
        resizeStart = resize->rect;
    } else if (const auto* fresh = std::get_if<cropdrag::New>(&input.drag)) {
        Point p = clampedInto(point, limit);
        if (input.constrained) {
            const double d = std::max(std::abs(p.y - fresh->start.y), std::abs(p.x - fresh->start.x));
            p = clampedInto({fresh->start.x + (point.x - fresh->start.x >= 0 ? d : -d),
                             fresh->start.y + (point.y - fresh->start.y >= 0 ? d : -d)},
                            limit);
        }
        r = Rect::corner(clampedInto(fresh->start, limit), p).standardized();
        newStart = fresh->start;
    } else {
        return std::nullopt;
    }

    const double tolerance = cropEdgeSnap / input.magnification;
    double minX = r.minX(), minY = r.minY(), maxX = r.maxX(), maxY = r.maxY();
    for (const Rect& target : {limit, panelFrame}) {
        minX = snapped(minX, target.minX(), tolerance);
        minY = snapped(minY, target.minY(), tolerance);
        maxX = snapped(maxX, target.maxX(), tolerance);
        maxY = snapped(maxY, target.maxY(), tolerance);
    }
    r = fromEdges(minX, minY, maxX, maxY).intersection(limit);
    if (r.isNull())
        return std::nullopt;

    const std::optional<double> q = ratio(input.aspect, panelFrame.size);
    if (q && *q > 0 && (newStart || resizing)) {
        double ax = 0, ay = 0;
        if (newStart) {
            ax = newStart->x <= point.x ? r.minX() : r.maxX();
            ay = newStart->y <= point.y ? r.minY() : r.maxY();
        } else {
            ax = holdsRight(*resizing) ? resizeStart->maxX() : r.minX();
            ay = holdsBottom(*resizing) ? resizeStart->maxY() : r.minY();
        }
        const bool upwards = ay == r.maxY();
        Size size{r.width(), r.width() / *q};
        const double available = upwards ? ay - limit.minY() : limit.maxY() - ay;
        if (size.height > available)
            size = {available * *q, available};
        r = Rect(ax == r.maxX() ? ax - size.width : ax, upwards ? ay - size.height : ay, size.width, size.height);
    }

    const double ppp = input.pixelsPerPoint(r.origin);
    if (r.width() * ppp < cropMinimumPixels || r.height() * ppp < cropMinimumPixels)
        return std::nullopt;

    const Point a = imagePointFromCanvas(preview, {r.minX(), r.minY()});
    const Point b = imagePointFromCanvas(preview, {r.maxX(), r.maxY()});
    const Rect image = Rect::corner(a, b).standardized().intersection(imageRectFromCanvas(preview, limit).integral());
    if (image.isNull())
        return std::nullopt;
    return image;
}

Rect aspectFittedCropRect(const CropSession& session, CropAspect aspect, const Rect& limit)
{
    return fit(aspect, session.rect, session.preview.pixelSize, imageRectFromCanvas(session.preview, limit)).integral();
}

} // namespace vorlix
