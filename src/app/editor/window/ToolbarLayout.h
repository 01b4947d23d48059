#pragma once
// The arithmetic of the editor toolbar's row: the tool groups in bar order, the short
// labels, the size of a tool button, and which tools fit into a window of a given width
// and which go to the overflow menu "Altri". Widths are in logical pixels (points); a
// `ToolbarMetrics` holds the measured widths of the bar's parts, so the rule can be
// worked out (and tested) without widgets.

#include "core/model/Tool.h"

#include <QSizeF>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace vorlix {

struct ToolGroup {
    QString name; // the overflow menu's submenu title
    std::vector<Tool> tools;
    bool operator==(const ToolGroup&) const = default;
};

// "Disegno", "Marcatura", "Effetti", "Utilità", in bar order.
std::span<const ToolGroup> toolGroups();
// The groups concatenated: the 21 tools in bar order (not the declaration order of Tool).
std::span<const Tool> toolbarTools();
// The group index of a tool.
int toolGroupIndex(Tool tool);
// A tool button's label: the tool's title, or a short one for six tools ("Mano", "OCR" ...).
QString toolbarLabel(Tool tool);
// "Freccia (A)": the title and the upper-cased key.
QString toolbarToolTip(Tool tool);

// A bar button's size: 40 × 36 without label; with one, max(ceil(label width) + 8, 42) × 48.
QSizeF toolButtonSize(bool showsLabel, double labelWidth);

struct ToolbarMetrics {
    // Each tool's width in toolbar order: its button's width + 1 (the stack's spacing).
    std::array<double, toolCount> toolWidths{};
    // The separator in front of groups 1, 2 and 3: its width + 1.
    std::array<double, 3> separatorWidths{10, 10, 10};
    double moreButtonWidth = 45; // the overflow button's width + 1
    double barOrigin = 92;       // the bar's x in the window
    double infoWidth = 0;        // the information area with the colour indicator shown
    double infoWidthWithoutColor = 0;
    double actionsWidth = 0;

    bool operator==(const ToolbarMetrics&) const = default;

    // The window width that gives `toolsWidth` to the tool area, and its inverse.
    double windowWidth(double toolsWidth, bool colorShown) const;
    double toolsWidth(double windowWidth, bool colorShown) const;
    // The tool area's width that shows every tool.
    double allToolsWidth() const;
    // The tools that do not fit into `available`, in toolbar order: always a tail of it.
    std::vector<Tool> toolsToHide(double available) const;
    // The narrowest window that shows the first four tools and the overflow button
    // (without the colour indicator), rounded up to a whole point.
    double minimumWidth() const;
};

struct ToolbarFit {
    std::vector<Tool> hiddenTools; // in toolbar order
    bool colorShown = true;
    bool operator==(const ToolbarFit&) const = default;
};

// The row for a window `windowWidth` wide: the colour indicator goes before fewer than
// four tools would remain.
ToolbarFit fitToolbar(const ToolbarMetrics& metrics, double windowWidth);

// The zoom menu: "Adatta alla finestra" (no value: fit to the window), then the
// percentages 25 … 400.
inline constexpr std::array<int, 8> zoomMenuPercentages{25, 50, 75, 100, 150, 200, 300, 400};
// "125%": the magnification × 100, rounded.
QString zoomText(double magnification);

} // namespace vorlix
