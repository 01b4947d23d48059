#include "core/document/PanelShapes.h"

#include "core/shapes/ShapeGeometry.h"

namespace vorlix {

CanvasShape canvasShape(const PanelMapping& mapping, const Annotation& annotation)
{
    CanvasShape shape{annotation.kind, {}, annotation.measureText(1).value_or(annotation.text), annotation.style};
    shape.points.reserve(annotation.points.size());
    for (Point p : annotation.points)
        shape.points.push_back(mapping.canvasPoint(p));
    return shape;
}

CanvasShape canvasShape(const Panel& panel, const Annotation& annotation)
{
    return canvasShape(PanelMapping(panel), annotation);
}

ShapeExtents shapeExtents(const Panel& panel, const Annotation& annotation)
{
    const CanvasShape shape = canvasShape(panel, annotation);
    ShapeExtents extents;
    extents.bounds = shape.bounds();
    if (annotation.kind == AnnotationKind::lens) {
        const auto lens = shape.lens();
        extents.clipExtent = lens ? lens->sourceRect : Rect::null();
    } else {
        extents.clipExtent = extents.bounds;
    }
    return extents;
}

bool isOutsideCrop(const Panel& panel, const Annotation& annotation)
{
    return isOutsideCrop(panel, annotation, shapeExtents);
}

bool isHidden(const Panel& panel, const Annotation& annotation) { return isHidden(panel, annotation, shapeExtents); }

Rect workArea(const Panel& panel) { return workArea(panel, shapeExtents); }

} // namespace vorlix
