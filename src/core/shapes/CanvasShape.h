#pragma once
// An annotation in canvas form: kind, points in canvas points, text and style, without
// id, owner or clip. Answers every geometric question selection and editing ask of
// one shape: its rectangle, bend point, text frame, bounds, hit test, handles and
// resizing. `bounds` is the one extent used for selection frames, the canvas bounds,
// visibility tests and the clipboard.

#include "core/model/Annotation.h"
#include "core/model/Geometry.h"
#include "core/model/Style.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace vorlix {

struct LensGeometry;

enum class HandleKind {
    endpoint,  // an end of a line, arrow or highlighter (index 0 or 1); a callout's tail tip (1)
    magnified, // one of the rectangle handles of a lens's magnified view
    bend,
    moveMagnified, // moving a lens's magnified view as a whole
    topLeft,
    top,
    topRight,
    right,
    bottomRight,
    bottom,
    bottomLeft,
    left,
};

struct Handle {
    HandleKind kind = HandleKind::topLeft;
    int index = 0;                          // for `endpoint`
    HandleKind inner = HandleKind::topLeft; // for `magnified`: the wrapped rectangle handle

    bool operator==(const Handle&) const = default;

    static Handle endpoint(int i) { return {HandleKind::endpoint, i, HandleKind::topLeft}; }
    static Handle magnified(HandleKind rectHandle) { return {HandleKind::magnified, 0, rectHandle}; }
    static Handle plain(HandleKind kind) { return {kind, 0, HandleKind::topLeft}; }
    bool isRectHandle() const { return kind >= HandleKind::topLeft; }
};

using HandlePosition = std::pair<Handle, Point>;

struct CanvasShape {
    static constexpr double minimumCalloutWidth = 40;

    AnnotationKind kind = AnnotationKind::rectangle;
    std::vector<Point> points;
    QString text;
    Style style;

    bool operator==(const CanvasShape&) const = default;

    Rect rect() const;
    Point bendPoint() const;
    Rect textFrame() const;
    bool hasCalloutFrame() const { return kind == AnnotationKind::callout && points.size() > 2; }
    std::optional<LensGeometry> lens() const;
    double numberRadius() const { return std::max(style.fontSize, 8.0) * 0.8; }
    double stampRadius() const { return std::max(style.fontSize, 8.0) * 0.6; }

    // Null when the shape has nothing to show (too few points).
    Rect shapeBounds() const;
    Rect bounds() const;
    std::vector<HandlePosition> handles() const;
    bool hitTest(Point point, double tolerance) const;
    // The shape's new points when a handle is dragged to `to`.
    std::vector<Point> resized(const Handle& handle, Point to, bool constrained) const;

    static std::vector<HandlePosition> rectHandles(const Rect& rect);
    static Rect resizedRect(const Rect& rect, const Handle& handle, Point to, bool constrained);
};

} // namespace vorlix
