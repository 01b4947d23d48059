#pragma once
// Annotations wherever a document holds them: looked up by id (the document's own
// first, then each panel's), expressed in canvas form, given an owner when new,
// converted into their owner's space, changed, removed, hit and counted in draw order,
// and the canvas rectangle that holds everything drawn. Pure functions of the document,
// run inside editor changes; an id that matches nothing changes nothing.

#include "core/model/DocumentModel.h"
#include "core/shapes/CanvasShape.h"

#include <QUuid>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace vorlix {

std::optional<AnnotationOwner> owner(const DocumentModel& doc, const QUuid& annotationID);
std::optional<Annotation> annotation(const DocumentModel& doc, const QUuid& annotationID);
void updateAnnotation(DocumentModel& doc, const QUuid& annotationID, const std::function<void(Annotation&)>& change);
std::optional<std::size_t> panelIndex(const DocumentModel& doc, const QUuid& panelID);

CanvasShape canvasShape(const DocumentModel& doc, const Annotation& annotation, const AnnotationOwner& owner);
std::optional<CanvasShape> canvasShape(const DocumentModel& doc, const QUuid& annotationID);
std::vector<Point> convertFromCanvas(const DocumentModel& doc, const std::vector<Point>& points,
                                     const AnnotationOwner& owner);
void setCanvasPoints(DocumentModel& doc, const QUuid& annotationID, const std::vector<Point>& canvasPoints);

// Filters go to the panel under their first point (else the first panel); other shapes
// to the only panel, or the panel holding all their points, else the document.
AnnotationOwner ownerForNewShape(const DocumentModel& doc, const std::vector<Point>& canvasPoints,
                                 std::optional<AnnotationKind> kind);
Annotation insert(DocumentModel& doc, const CanvasShape& shape, const QUuid& id);
void insert(DocumentModel& doc, Annotation annotation, const AnnotationOwner& owner);
void removeAnnotations(DocumentModel& doc, const std::set<QUuid>& ids);

// Each panel's visible annotations in order, then the document's.
std::vector<QUuid> annotationIDsInDrawOrder(const DocumentModel& doc);
std::optional<QUuid> topmostAnnotation(const DocumentModel& doc, Point point, double tolerance);
std::map<QUuid, long long> numberValues(const DocumentModel& doc);
// Integral, grown by the padding; the zero rectangle when nothing is drawn.
Rect canvasBounds(const DocumentModel& doc);
std::set<QUuid> referencedImageIDs(const DocumentModel& doc);

} // namespace vorlix
