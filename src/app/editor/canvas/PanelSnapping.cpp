#include "app/editor/canvas/PanelSnapping.h"

#include "core/document/PanelComposition.h"
#include "core/model/PanelGeometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vorlix {

namespace {

// The first offset of the moving panel that comes within `reach` of a candidate: the
// snapped coordinate and the candidate line.
std::optional<std::pair<double, double>> snapAxis(double proposed, double length, const std::vector<double>& candidates,
                                                  double reach)
{
    for (const double offset : {0.0, length / 2, length}) {
        const double target = proposed + offset;
        const double* nearest = nullptr;
        for (const double& candidate : candidates)
            if (!nearest || std::abs(candidate - target) < std::abs(*nearest - target))
                nearest = &candidate;
        if (nearest && std::abs(*nearest - target) <= reach)
            return std::pair{*nearest - offset, *nearest};
    }
    return std::nullopt;
}

} // namespace

SnappedOrigin snappedPanelOrigin(const DocumentModel& model, const QUuid& id, Point proposed, bool free,
                                 double magnification)
{
    const auto moving =
        std::find_if(model.panels.begin(), model.panels.end(), [&](const Panel& p) { return p.id == id; });
    if (free || moving == model.panels.end())
        return {proposed, {}};
    const Size size = displaySize(*moving);
    std::vector<double> xs;
    std::vector<double> ys;
    for (const Panel& panel : model.panels) {
        if (panel.id == id)
            continue;
        const Rect f = frame(panel);
        xs.insert(xs.end(), {f.minX(), f.midX(), f.maxX()});
        ys.insert(ys.end(), {f.minY(), f.midY(), f.maxY()});
    }
    const double reach = panelSnapDistance / magnification;
    SnappedOrigin result{proposed, {}};
    if (const auto x = snapAxis(proposed.x, size.width, xs, reach)) {
        result.origin.x = x->first;
        result.guides.push_back({{x->second, -guideReach}, {x->second, guideReach}});
    }
    if (const auto y = snapAxis(proposed.y, size.height, ys, reach)) {
        result.origin.y = y->first;
        result.guides.push_back({{-guideReach, y->second}, {guideReach, y->second}});
    }
    return result;
}

void scalePanelByCorner(DocumentModel& model, const QUuid& id, Point anchor, const Panel& original, Point pointer)
{
    const auto panel =
        std::find_if(model.panels.begin(), model.panels.end(), [&](const Panel& p) { return p.id == id; });
    if (panel == model.panels.end())
        return;
    const double width = displaySize(original).width;
    const double reach = std::max(std::abs(pointer.x - anchor.x), minimumPanelReach);
    // A panel without width scales as if it were at its smallest.
    const double scale = width > 0 ? std::max(reach * original.scale / width, minimumPanelScale) : minimumPanelScale;
    panel->scale = scale;
    const Size size = displaySize(*panel);
    panel->origin = {pointer.x < anchor.x ? anchor.x - size.width : anchor.x,
                     pointer.y < anchor.y ? anchor.y - size.height : anchor.y};
    layoutAutomaticPanels(model);
}

} // namespace vorlix
