#include "app/editor/window/ToolbarLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vorlix {

std::span<const ToolGroup> toolGroups()
{
    using enum Tool;
    static const std::array<ToolGroup, 4> groups{{
        {QStringLiteral("Disegno"), {select, arrow, line, rectangle, ellipse, pencil}},
        {QStringLiteral("Marcatura"), {highlighter, number, text, callout, stamp, cursor}},
        {QStringLiteral("Effetti"), {pixelate, spotlight, lens}},
        {QStringLiteral("Utilità"), {crop, cutStrip, cutOut, ocr, colorPicker, ruler}},
    }};
    return groups;
}

std::span<const Tool> toolbarTools()
{
    static const std::vector<Tool> tools = [] {
        std::vector<Tool> all;
        for (const ToolGroup& group : toolGroups())
            all.insert(all.end(), group.tools.begin(), group.tools.end());
        return all;
    }();
    return tools;
}

int toolGroupIndex(Tool tool)
{
    const auto groups = toolGroups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (std::ranges::find(groups[g].tools, tool) != groups[g].tools.end())
            return int(g);
    }
    return 0;
}

QString toolbarLabel(Tool tool)
{
    switch (tool) {
    case Tool::select:
        return QStringLiteral("Mano");
    case Tool::highlighter:
        return QStringLiteral("Evidenzia");
    case Tool::stamp:
        return QStringLiteral("Timbri");
    case Tool::colorPicker:
        return QStringLiteral("Colore");
    case Tool::cutStrip:
        return QStringLiteral("Taglia");
    case Tool::ocr:
        return QStringLiteral("OCR");
    default:
        return title(tool);
    }
}

QString toolbarToolTip(Tool tool)
{
    return title(tool) + QStringLiteral(" (") + QChar(key(tool)).toUpper() + QLatin1Char(')');
}

QSizeF toolButtonSize(bool showsLabel, double labelWidth)
{
    if (!showsLabel)
        return {40, 36};
    return {std::max(std::ceil(labelWidth) + 8, 42.0), 48};
}

// The bar's right part (information and action areas, their 6-point gap and 2 of slack)
// and the margins: the bar starts at the bar origin and ends 12 from the window's right
// edge, less the action area's 9-point overhang.
double ToolbarMetrics::windowWidth(double tools, bool colorShown) const
{
    const double info = colorShown ? infoWidth : infoWidthWithoutColor;
    return tools + barOrigin + (info + actionsWidth + 6 + 2) - 9 + 12;
}

double ToolbarMetrics::toolsWidth(double window, bool colorShown) const
{
    const double info = colorShown ? infoWidth : infoWidthWithoutColor;
    return window - barOrigin - 12 + 9 - (info + actionsWidth + 6 + 2);
}

double ToolbarMetrics::allToolsWidth() const
{
    return std::accumulate(separatorWidths.begin(), separatorWidths.end(), 0.0) +
           std::accumulate(toolWidths.begin(), toolWidths.end(), 0.0);
}

std::vector<Tool> ToolbarMetrics::toolsToHide(double available) const
{
    if (available >= allToolsWidth())
        return {};
    const double budget = available - moreButtonWidth;
    const auto tools = toolbarTools();
    std::vector<Tool> hidden;
    std::array<bool, 4> groupShown{};
    double used = 0;
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const int group = toolGroupIndex(tools[i]);
        if (!hidden.empty()) {
            hidden.push_back(tools[i]);
            continue;
        }
        // A group's separator is paid once, with its first shown tool.
        const double separator = (group == 0 || groupShown[group]) ? 0 : separatorWidths[group - 1];
        if (used + separator + toolWidths[i] <= budget) {
            used += separator + toolWidths[i];
            groupShown[group] = true;
        } else {
            hidden.push_back(tools[i]);
        }
    }
    return hidden;
}

double ToolbarMetrics::minimumWidth() const
{
    const double fourTools = toolWidths[0] + toolWidths[1] + toolWidths[2] + toolWidths[3];
    return std::ceil(windowWidth(fourTools + moreButtonWidth, false));
}

ToolbarFit fitToolbar(const ToolbarMetrics& metrics, double windowWidth)
{
    ToolbarFit fit{metrics.toolsToHide(metrics.toolsWidth(windowWidth, true)), true};
    if (toolCount - fit.hiddenTools.size() < 4)
        fit = {metrics.toolsToHide(metrics.toolsWidth(windowWidth, false)), false};
    return fit;
}

QString zoomText(double magnification) { return QString::number(std::llround(magnification * 100)) + QLatin1Char('%'); }

} // namespace vorlix
