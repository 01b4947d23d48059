#include "core/document/CropAndStrips.h"

#include "core/document/PanelComposition.h"
#include "core/document/PanelRecrop.h"
#include "core/model/PanelGeometry.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace vorlix {

namespace {

// Applies the change, then moves each point of the document-level annotations with the
// image content of the panel that was under it.
void keepingDocumentAnnotationsOnPanels(DocumentModel& doc, const std::function<void(DocumentModel&)>& change)
{
    const std::vector<Panel> before = doc.panels;
    change(doc);
    if (doc.annotations.empty())
        return;
    std::map<QUuid, const Panel*> after;
    for (const Panel& p : doc.panels)
        after.emplace(p.id, &p);
    for (Annotation& a : doc.annotations) {
        for (Point& point : a.points) {
            for (auto old = before.rbegin(); old != before.rend(); ++old) {
                if (!frame(*old).contains(point))
                    continue;
                if (const auto it = after.find(old->id); it != after.end())
                    point = canvasPointFromImage(*it->second, imagePointFromCanvas(*old, point));
                break;
            }
        }
    }
}

} // namespace

void applyCrop(DocumentModel& doc, const std::optional<Rect>& crop, const QUuid& panelID)
{
    Panel* panel = findPanel(doc, panelID);
    if (!panel)
        return;
    if (doc.panels.size() == 1 && !doc.annotations.empty()) {
        for (Annotation& a : doc.annotations) {
            for (Point& p : a.points)
                p = imagePointFromCanvas(*panel, p);
            panel->annotations.push_back(std::move(a));
        }
        doc.annotations.clear();
    }
    *panel = recropped(*panel, crop);
}

bool removeStrip(DocumentModel& doc, const QUuid& panelID, Point canvasStart, Point canvasEnd)
{
    Panel* panel = findPanel(doc, panelID);
    if (!panel)
        return false;
    const Rect f = frame(*panel);
    Point a;
    Point b;
    if (std::abs(canvasEnd.x - canvasStart.x) > std::abs(canvasEnd.y - canvasStart.y)) {
        a = {std::clamp(canvasStart.x, f.minX(), f.maxX()), f.midY()};
        b = {std::clamp(canvasEnd.x, f.minX(), f.maxX()), f.midY()};
    } else {
        a = {f.midX(), std::clamp(canvasStart.y, f.minY(), f.maxY())};
        b = {f.midX(), std::clamp(canvasEnd.y, f.minY(), f.maxY())};
    }
    const Point ia = imagePointFromCanvas(*panel, a);
    const Point ib = imagePointFromCanvas(*panel, b);
    RemovedStrip strip;
    if (std::abs(ib.x - ia.x) > std::abs(ib.y - ia.y))
        strip = {RemovedStrip::Axis::columns, std::min(ia.x, ib.x), std::max(ia.x, ib.x)};
    else
        strip = {RemovedStrip::Axis::rows, std::min(ia.y, ib.y), std::max(ia.y, ib.y)};
    if (!(strip.upper - strip.lower >= 2.0))
        return false;
    keepingDocumentAnnotationsOnPanels(doc, [&](DocumentModel& d) {
        findPanel(d, panelID)->removedStrips.push_back(strip);
        layoutAutomaticPanels(d);
    });
    return true;
}

void restoreStrips(DocumentModel& doc, const QUuid& panelID)
{
    if (!findPanel(doc, panelID))
        return;
    keepingDocumentAnnotationsOnPanels(doc, [&](DocumentModel& d) {
        findPanel(d, panelID)->removedStrips.clear();
        layoutAutomaticPanels(d);
    });
}

} // namespace vorlix
