#include "core/document/DocumentAnnotations.h"

#include "core/document/PanelCaptions.h"
#include "core/document/PanelShapes.h"
#include "core/model/ExportOptions.h"
#include "core/model/PanelGeometry.h"

#include <algorithm>
#include <limits>

namespace vorlix {

namespace {

// The first annotation with the id in search order (the document's own first), for a
// const or a mutable document alike.
template <class Document>
auto findAnnotation(Document& doc, const QUuid& id) -> decltype(&doc.annotations.front())
{
    for (auto& a : doc.annotations)
        if (a.id == id)
            return &a;
    for (auto& p : doc.panels)
        for (auto& a : p.annotations)
            if (a.id == id)
                return &a;
    return nullptr;
}

const Panel* topmostPanelContaining(const DocumentModel& doc, Point p)
{
    for (auto it = doc.panels.rbegin(); it != doc.panels.rend(); ++it)
        if (frame(*it).contains(p))
            return &*it;
    return nullptr;
}

} // namespace

std::optional<AnnotationOwner> owner(const DocumentModel& doc, const QUuid& id)
{
    for (const Annotation& a : doc.annotations)
        if (a.id == id)
            return AnnotationOwner::document();
    for (const Panel& p : doc.panels)
        for (const Annotation& a : p.annotations)
            if (a.id == id)
                return AnnotationOwner::panel(p.id);
    return std::nullopt;
}

std::optional<Annotation> annotation(const DocumentModel& doc, const QUuid& id)
{
    if (const Annotation* a = findAnnotation(doc, id))
        return *a;
    return std::nullopt;
}

void updateAnnotation(DocumentModel& doc, const QUuid& id, const std::function<void(Annotation&)>& change)
{
    if (Annotation* a = findAnnotation(doc, id))
        change(*a);
}

std::optional<std::size_t> panelIndex(const DocumentModel& doc, const QUuid& panelID)
{
    for (std::size_t i = 0; i < doc.panels.size(); ++i)
        if (doc.panels[i].id == panelID)
            return i;
    return std::nullopt;
}

CanvasShape canvasShape(const DocumentModel& doc, const Annotation& a, const AnnotationOwner& owner)
{
    if (owner.panelID)
        if (const Panel* p = findPanel(doc, *owner.panelID))
            return canvasShape(*p, a);
    const double density = nativePixelsPerPoint(doc);
    return CanvasShape{a.kind, a.points, a.measureText(density).value_or(a.text), a.style};
}

std::optional<CanvasShape> canvasShape(const DocumentModel& doc, const QUuid& id)
{
    const auto o = owner(doc, id);
    const auto a = annotation(doc, id);
    if (!o || !a)
        return std::nullopt;
    return canvasShape(doc, *a, *o);
}

std::vector<Point> convertFromCanvas(const DocumentModel& doc, const std::vector<Point>& points,
                                     const AnnotationOwner& owner)
{
    const Panel* p = owner.panelID ? findPanel(doc, *owner.panelID) : nullptr;
    if (!p)
        return points;
    std::vector<Point> out;
    out.reserve(points.size());
    for (Point q : points)
        out.push_back(imagePointFromCanvas(*p, q));
    return out;
}

void setCanvasPoints(DocumentModel& doc, const QUuid& id, const std::vector<Point>& canvasPoints)
{
    const auto o = owner(doc, id);
    if (!o)
        return;
    const std::vector<Point> converted = convertFromCanvas(doc, canvasPoints, *o);
    updateAnnotation(doc, id, [&](Annotation& a) { a.points = converted; });
}

AnnotationOwner ownerForNewShape(const DocumentModel& doc, const std::vector<Point>& canvasPoints,
                                 std::optional<AnnotationKind> kind)
{
    if (kind && isPanelFilter(*kind)) {
        const Point first = canvasPoints.empty() ? Point{} : canvasPoints.front();
        if (const Panel* p = topmostPanelContaining(doc, first))
            return AnnotationOwner::panel(p->id);
        if (!doc.panels.empty())
            return AnnotationOwner::panel(doc.panels.front().id);
        return AnnotationOwner::document();
    }
    if (doc.panels.size() == 1)
        return AnnotationOwner::panel(doc.panels.front().id);
    if (canvasPoints.empty() || doc.panels.empty())
        return AnnotationOwner::document();
    const Panel* first = topmostPanelContaining(doc, canvasPoints.front());
    if (!first)
        return AnnotationOwner::document();
    for (std::size_t i = 1; i < canvasPoints.size(); ++i) {
        const Panel* p = topmostPanelContaining(doc, canvasPoints[i]);
        if (p && p != first)
            return AnnotationOwner::document();
    }
    return AnnotationOwner::panel(first->id);
}

Annotation insert(DocumentModel& doc, const CanvasShape& shape, const QUuid& id)
{
    const AnnotationOwner o = ownerForNewShape(doc, shape.points, shape.kind);
    Annotation a{id, shape.kind, convertFromCanvas(doc, shape.points, o), shape.text, shape.style, std::nullopt};
    insert(doc, a, o);
    return a;
}

void insert(DocumentModel& doc, Annotation a, const AnnotationOwner& o)
{
    if (o.panelID)
        if (Panel* p = findPanel(doc, *o.panelID)) {
            p->annotations.push_back(std::move(a));
            return;
        }
    doc.annotations.push_back(std::move(a));
}

void removeAnnotations(DocumentModel& doc, const std::set<QUuid>& ids)
{
    if (ids.empty())
        return;
    const auto listed = [&](const Annotation& a) { return ids.contains(a.id); };
    std::erase_if(doc.annotations, listed);
    for (Panel& p : doc.panels)
        std::erase_if(p.annotations, listed);
}

std::vector<QUuid> annotationIDsInDrawOrder(const DocumentModel& doc)
{
    std::vector<QUuid> ids;
    for (const Panel& p : doc.panels)
        for (const Annotation& a : p.annotations)
            if (!isHidden(p, a))
                ids.push_back(a.id);
    for (const Annotation& a : doc.annotations)
        ids.push_back(a.id);
    return ids;
}

std::optional<QUuid> topmostAnnotation(const DocumentModel& doc, Point point, double tolerance)
{
    // Walk the draw order backwards without building it: the document's own annotations
    // are on top, then the panels from the last one down.
    for (auto a = doc.annotations.rbegin(); a != doc.annotations.rend(); ++a)
        if (canvasShape(doc, *a, AnnotationOwner::document()).hitTest(point, tolerance))
            return a->id;
    for (auto p = doc.panels.rbegin(); p != doc.panels.rend(); ++p) {
        const PanelMapping mapping(*p);
        for (auto a = p->annotations.rbegin(); a != p->annotations.rend(); ++a)
            if (canvasShape(mapping, *a).hitTest(point, tolerance) && !isHidden(*p, *a))
                return a->id;
    }
    return std::nullopt;
}

std::map<QUuid, long long> numberValues(const DocumentModel& doc)
{
    std::map<QUuid, long long> values;
    long long counter = doc.numberingStart;
    const auto count = [&](const Annotation& a) {
        if (a.kind != AnnotationKind::number)
            return;
        values[a.id] = counter;
        // A start at the top of the range repeats the largest number instead of overflowing.
        if (counter < std::numeric_limits<long long>::max())
            ++counter;
    };
    for (const Panel& p : doc.panels)
        for (const Annotation& a : p.annotations)
            if (a.kind == AnnotationKind::number && !isHidden(p, a))
                count(a);
    for (const Annotation& a : doc.annotations)
        count(a);
    return values;
}

Rect canvasBounds(const DocumentModel& doc)
{
    Rect r = Rect::null();
    for (const Panel& p : doc.panels) {
        r = r.united(frame(p));
        if (const auto caption = captionFrame(p))
            r = r.united(*caption);
        const PanelMapping mapping(p);
        for (const Annotation& a : p.annotations) {
            if (isHidden(p, a))
                continue;
            Rect b = canvasShape(mapping, a).bounds();
            if (b.isNull())
                continue;
            if (a.kind != AnnotationKind::lens && a.cropClip) {
                b = b.intersection(canvasRectFromImage(p, *a.cropClip));
                if (b.isNull())
                    continue;
            }
            r = r.united(b);
        }
    }
    for (const Annotation& a : doc.annotations) {
        const Rect b = canvasShape(doc, a, AnnotationOwner::document()).bounds();
        if (!b.isNull())
            r = r.united(b);
    }
    if (!r.isNull())
        r = r.insetBy(-doc.padding, -doc.padding); // a negative padding may eat it all
    if (r.isNull())
        return Rect(0, 0, 0, 0);
    return r.integral();
}

std::set<QUuid> referencedImageIDs(const DocumentModel& doc)
{
    std::set<QUuid> ids;
    for (const Panel& p : doc.panels) {
        ids.insert(p.imageID);
        if (p.cursor)
            ids.insert(p.cursor->imageID);
    }
    return ids;
}

} // namespace vorlix
