#include "app/editor/canvas/CanvasHandles.h"

#include "core/document/DocumentAnnotations.h"
#include "core/model/AnnotationKind.h"
#include "core/model/PanelGeometry.h"
#include "core/shapes/ShapeGeometry.h"

#include <array>

using namespace Qt::StringLiterals;

namespace vorlix {

std::optional<HandleHit> handle(const DocumentModel& model, const std::set<QUuid>& selection, Point at,
                                double magnification)
{
    if (selection.size() != 1)
        return std::nullopt;
    const QUuid id = *selection.begin();
    std::optional<CanvasShape> shape = canvasShape(model, id);
    if (!shape)
        return std::nullopt;
    const double radius = handleCatchRadius / magnification;
    for (const auto& [h, point] : shape->handles())
        if (point.distance(at) <= radius)
            return HandleHit{id, h, std::move(*shape)};
    if (const std::optional<LensGeometry> lens = shape->lens(); lens && lens->magnifiedRect.containsInEllipse(at))
        return HandleHit{id, Handle::plain(HandleKind::moveMagnified), std::move(*shape)};
    return std::nullopt;
}

std::optional<PanelCornerHit> panelCorner(const DocumentModel& model, const std::optional<QUuid>& selectedPanel,
                                          Point at, double magnification)
{
    if (!selectedPanel)
        return std::nullopt;
    const std::optional<std::size_t> index = panelIndex(model, *selectedPanel);
    if (!index)
        return std::nullopt;
    const Panel& panel = model.panels[*index];
    const Rect f = frame(panel);
    const std::array<Point, 4> corners = {Point{f.minX(), f.minY()}, Point{f.maxX(), f.minY()},
                                          Point{f.maxX(), f.maxY()}, Point{f.minX(), f.maxY()}};
    const double radius = panelCornerCatchRadius / magnification;
    for (std::size_t i = 0; i < corners.size(); ++i)
        if (corners[i].distance(at) <= radius)
            return PanelCornerHit{panel.id, corners[(i + 2) % 4], panel};
    return std::nullopt;
}

QCursor cursor(const Handle& h, bool grabbing)
{
    switch (h.kind) {
    case HandleKind::endpoint:
    case HandleKind::bend:
        return Qt::CrossCursor;
    case HandleKind::magnified:
        return cursor(Handle::plain(h.inner), grabbing);
    case HandleKind::top:
    case HandleKind::bottom:
        return Qt::SizeVerCursor;
    case HandleKind::left:
    case HandleKind::right:
        return Qt::SizeHorCursor;
    case HandleKind::topLeft:
    case HandleKind::bottomRight:
        return Qt::SizeFDiagCursor;
    case HandleKind::topRight:
    case HandleKind::bottomLeft:
        return Qt::SizeBDiagCursor;
    case HandleKind::moveMagnified:
        return grabbing ? Qt::ClosedHandCursor : Qt::OpenHandCursor;
    }
    return Qt::ArrowCursor;
}

QString objectName(const DocumentModel& model, const std::set<QUuid>& ids)
{
    if (ids.size() == 1)
        if (const std::optional<Annotation> a = annotation(model, *ids.begin()))
            return displayName(a->kind);
    return u"oggetti"_s;
}

} // namespace vorlix
