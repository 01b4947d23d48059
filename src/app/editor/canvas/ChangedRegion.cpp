#include "app/editor/canvas/ChangedRegion.h"

#include "core/document/DocumentAnnotations.h"

#include <map>

namespace vorlix {

namespace {

// Kinds whose drawing depends on what lies around or under them.
bool reachesBeyondItself(AnnotationKind kind)
{
    return kind == AnnotationKind::spotlight || kind == AnnotationKind::lens;
}

// Adds the bounds of what differs between two annotation lists of one owner; false when
// a change reaches beyond its shape.
bool addChanged(Rect& region, const DocumentModel& before, const DocumentModel& after,
                const std::vector<Annotation>& old, const std::vector<Annotation>& now, const AnnotationOwner& owner)
{
    if (old == now)
        return true;
    // Order matters to drawing: a change of order is a change of every shape involved.
    std::map<QUuid, std::pair<const Annotation*, const Annotation*>> pairs;
    for (std::size_t i = 0; i < old.size(); ++i) {
        const bool samePlace = i < now.size() && now[i].id == old[i].id;
        if (samePlace && now[i] == old[i])
            continue;
        pairs[old[i].id].first = &old[i];
    }
    for (std::size_t i = 0; i < now.size(); ++i) {
        const bool samePlace = i < old.size() && old[i].id == now[i].id;
        if (samePlace && now[i] == old[i])
            continue;
        pairs[now[i].id].second = &now[i];
    }
    for (const auto& [id, pair] : pairs) {
        for (const auto& [annotation, model] : {std::pair{pair.first, &before}, std::pair{pair.second, &after}}) {
            if (!annotation)
                continue;
            if (reachesBeyondItself(annotation->kind))
                return false;
            region = region.united(canvasShape(*model, *annotation, owner).bounds());
        }
    }
    return true;
}

// The document with its annotations left out, to compare everything else.
DocumentModel withoutAnnotations(const DocumentModel& model)
{
    DocumentModel bare = model;
    bare.annotations.clear();
    for (Panel& panel : bare.panels)
        panel.annotations.clear();
    return bare;
}

} // namespace

std::optional<Rect> changedCanvasRect(const DocumentModel& before, const DocumentModel& after)
{
    if (before.panels.size() != after.panels.size() || withoutAnnotations(before) != withoutAnnotations(after))
        return std::nullopt;
    Rect region = Rect::null();
    for (std::size_t i = 0; i < before.panels.size(); ++i)
        if (!addChanged(region, before, after, before.panels[i].annotations, after.panels[i].annotations,
                        AnnotationOwner::panel(before.panels[i].id)))
            return std::nullopt;
    if (!addChanged(region, before, after, before.annotations, after.annotations, AnnotationOwner::document()))
        return std::nullopt;
    return region;
}

} // namespace vorlix
