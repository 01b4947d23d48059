#include "core/document/StepNumbers.h"

#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelShapes.h"
#include "core/model/PanelGeometry.h"

#include <algorithm>

namespace vorlix {

int addStepNumbers(DocumentModel& doc, const Style& style)
{
    int added = 0;
    for (Panel& panel : doc.panels) {
        const bool numbered = std::any_of(panel.annotations.begin(), panel.annotations.end(), [&](const Annotation& a) {
            return a.kind == AnnotationKind::number && !isHidden(panel, a);
        });
        if (numbered)
            continue;
        const double r = std::max(style.fontSize, 8.0) * 0.8;
        const Rect f = frame(panel);
        const Point centre = imagePointFromCanvas(panel, {f.minX() + r + 8, f.minY() + r + 8});
        panel.annotations.push_back(
            Annotation{QUuid::createUuid(), AnnotationKind::number, {centre}, QString(), style, std::nullopt});
        ++added;
    }
    return added;
}

bool hasNumbers(const DocumentModel& doc)
{
    const auto isNumber = [](const Annotation& a) { return a.kind == AnnotationKind::number; };
    if (std::any_of(doc.annotations.begin(), doc.annotations.end(), isNumber))
        return true;
    return std::any_of(doc.panels.begin(), doc.panels.end(), [&](const Panel& p) {
        return std::any_of(p.annotations.begin(), p.annotations.end(), isNumber);
    });
}

int removeStepNumbers(DocumentModel& doc)
{
    std::set<QUuid> ids;
    for (const Annotation& a : doc.annotations)
        if (a.kind == AnnotationKind::number)
            ids.insert(a.id);
    for (const Panel& p : doc.panels)
        for (const Annotation& a : p.annotations)
            if (a.kind == AnnotationKind::number)
                ids.insert(a.id);
    removeAnnotations(doc, ids);
    return static_cast<int>(ids.size());
}

} // namespace vorlix
