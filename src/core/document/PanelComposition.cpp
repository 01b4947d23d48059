#include "core/document/PanelComposition.h"

#include "core/document/PanelCaptions.h"
#include "core/model/PanelGeometry.h"

#include <cmath>

namespace vorlix {

Rect outerFrame(const Panel& panel)
{
    const Rect f = frame(panel);
    const auto caption = captionFrame(panel);
    return caption ? f.united(*caption) : f;
}

Point nextPanelOrigin(const DocumentModel& doc, const Panel& panel)
{
    if (doc.panels.empty())
        return {};
    Rect all = Rect::null();
    for (const Panel& p : doc.panels)
        all = all.united(outerFrame(p));
    const double spacing = doc.layout.spacing;
    switch (doc.layout.mode) {
    case PanelLayout::Mode::vertical:
        return {all.minX(), all.maxY() + spacing};
    case PanelLayout::Mode::horizontal:
        return {all.maxX() + spacing, all.minY()};
    case PanelLayout::Mode::grid: {
        std::vector<Size> sizes;
        for (const Panel& p : doc.panels)
            sizes.push_back(outerFrame(p).size);
        sizes.push_back(outerFrame(panel).size);
        return gridOrigins(sizes, spacing, {all.minX(), all.minY()}).back();
    }
    }
    return {};
}

Panel addPanel(DocumentModel& doc, const QUuid& imageID, Size pixelSize, double pixelsPerPoint,
               PanelOrientation orientation)
{
    Panel panel;
    panel.id = QUuid::createUuid();
    panel.imageID = imageID;
    panel.pixelSize = pixelSize;
    panel.pixelsPerPoint = pixelsPerPoint;
    panel.orientation = orientation;
    panel.origin = nextPanelOrigin(doc, panel);
    doc.panels.push_back(panel);
    return panel;
}

std::vector<Point> gridOrigins(const std::vector<Size>& sizes, double spacing, Point start)
{
    if (sizes.empty())
        return {};
    const auto columns = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(sizes.size()))));
    double cellWidth = 0;
    double cellHeight = 0;
    for (const Size& s : sizes) {
        cellWidth = std::max(cellWidth, s.width);
        cellHeight = std::max(cellHeight, s.height);
    }
    std::vector<Point> origins;
    origins.reserve(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const double row = static_cast<double>(i / columns);
        const double column = static_cast<double>(i % columns);
        origins.push_back({start.x + (spacing + cellWidth) * column, start.y + (spacing + cellHeight) * row});
    }
    return origins;
}

void layoutAutomaticPanels(DocumentModel& doc)
{
    std::vector<Panel*> automatic;
    for (Panel& p : doc.panels)
        if (!p.isManuallyPositioned)
            automatic.push_back(&p);
    if (automatic.empty())
        return;
    const Point start = automatic.front()->origin;
    const double spacing = doc.layout.spacing;
    if (doc.layout.mode == PanelLayout::Mode::grid) {
        std::vector<Size> sizes;
        for (const Panel* p : automatic)
            sizes.push_back(outerFrame(*p).size);
        const std::vector<Point> origins = gridOrigins(sizes, spacing, start);
        for (std::size_t i = 0; i < automatic.size(); ++i)
            automatic[i]->origin = origins[i];
        return;
    }
    Point cursor = start;
    for (Panel* p : automatic) {
        const Rect before = outerFrame(*p);
        p->origin = p->origin + (cursor - Point{before.minX(), before.minY()});
        const Rect outer = outerFrame(*p);
        if (doc.layout.mode == PanelLayout::Mode::vertical)
            cursor = {start.x, outer.maxY() + spacing};
        else
            cursor = {outer.maxX() + spacing, start.y};
    }
}

void arrangePanels(DocumentModel& doc)
{
    for (Panel& p : doc.panels)
        p.isManuallyPositioned = false;
    layoutAutomaticPanels(doc);
}

void movePanel(DocumentModel& doc, const QUuid& panelID, Point origin)
{
    if (Panel* p = findPanel(doc, panelID)) {
        p->origin = origin;
        p->isManuallyPositioned = true;
    }
}

void rotatePanel(DocumentModel& doc, const QUuid& panelID, bool clockwise)
{
    Panel* p = findPanel(doc, panelID);
    if (!p)
        return;
    const int turns = clockwise != p->orientation.flippedHorizontally ? 1 : 3;
    p->orientation.quarterTurns = (p->orientation.quarterTurns + turns) % 4;
    layoutAutomaticPanels(doc);
}

void flipPanel(DocumentModel& doc, const QUuid& panelID, bool horizontally)
{
    Panel* p = findPanel(doc, panelID);
    if (!p)
        return;
    p->orientation.flippedHorizontally = !p->orientation.flippedHorizontally;
    if (!horizontally)
        p->orientation.quarterTurns = (p->orientation.quarterTurns + 2) % 4;
    layoutAutomaticPanels(doc);
}

void removePanel(DocumentModel& doc, const QUuid& panelID)
{
    std::erase_if(doc.panels, [&](const Panel& p) { return p.id == panelID; });
}

} // namespace vorlix
