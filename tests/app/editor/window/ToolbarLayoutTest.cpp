// Which tools the toolbar row shows and which go to "Altri", for windows of many widths,
// with and without labels.

#include "app/editor/window/ToolbarLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace vorlix;

namespace {

// The row without labels: every button 40 wide (41 with the stack's spacing), the
// information area 117 with the colour indicator and 61 without, six action buttons on
// their background 263.
ToolbarMetrics unlabelledRow()
{
    ToolbarMetrics m;
    m.toolWidths.fill(41);
    m.separatorWidths = {10, 10, 10};
    m.moreButtonWidth = 41;
    m.barOrigin = 92;
    m.infoWidth = 117;
    m.infoWidthWithoutColor = 61;
    m.actionsWidth = 263;
    return m;
}

// With labels measured at 6 points a character, so that widths differ from tool to tool.
ToolbarMetrics labelledRow()
{
    ToolbarMetrics m = unlabelledRow();
    const auto tools = toolbarTools();
    for (std::size_t i = 0; i < tools.size(); ++i)
        m.toolWidths[i] = toolButtonSize(true, 6.0 * toolbarLabel(tools[i]).size()).width() + 1;
    m.moreButtonWidth = toolButtonSize(true, 6.0 * 5).width() + 1;
    return m;
}

std::vector<Tool> tail(std::size_t from)
{
    const auto tools = toolbarTools();
    return {tools.begin() + std::ptrdiff_t(from), tools.end()};
}

} // namespace

TEST(ToolbarLayout, GroupsAndLabels)
{
    const auto tools = toolbarTools();
    ASSERT_EQ(tools.size(), toolCount);
    std::vector<Tool> sorted(tools.begin(), tools.end());
    std::ranges::sort(sorted);
    EXPECT_TRUE(std::ranges::adjacent_find(sorted) == sorted.end()) << "a tool appears twice";
    EXPECT_EQ(tools[15], Tool::crop);
    EXPECT_EQ(tools.back(), Tool::ruler);
    EXPECT_EQ(toolGroups()[3].name, QStringLiteral("Utilità"));
    EXPECT_EQ(toolbarLabel(Tool::select), QStringLiteral("Mano"));
    EXPECT_EQ(toolbarLabel(Tool::arrow), title(Tool::arrow));
    EXPECT_EQ(toolbarToolTip(Tool::arrow), QStringLiteral("Freccia (A)"));
    EXPECT_EQ(toolButtonSize(false, 200), QSizeF(40, 36));
    EXPECT_EQ(toolButtonSize(true, 17.2), QSizeF(42, 48)); // "OCR": narrower than 42 - 8
    EXPECT_EQ(toolButtonSize(true, 40.3), QSizeF(49, 48));
}

TEST(ToolbarLayout, WidthTable)
{
    const ToolbarMetrics m = unlabelledRow();
    EXPECT_EQ(m.allToolsWidth(), 891);
    EXPECT_EQ(m.windowWidth(891, true), 1374);
    EXPECT_EQ(m.toolsWidth(1374, true), 891);
    EXPECT_EQ(m.minimumWidth(), 632);

    struct Case {
        double window;
        std::vector<Tool> hidden;
        bool colorShown;
    };
    // One point short of every tool hides two: the overflow button takes the room of one.
    const Case cases[] = {
        {2000, {}, true},
        {1374, {}, true},
        {1373, {Tool::colorPicker, Tool::ruler}, true},
        // Effects fit exactly with their separator; the utilities' separator does not.
        {1159, tail(15), true},
        {1209, tail(15), true},
        {1210, tail(16), true},
        {483 + 41 + 164, tail(4), true},
        // Three tools would remain: the colour indicator goes, and five fit again.
        {687, tail(5), false},
        {632, tail(4), false},
        {400, tail(0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        EXPECT_EQ(fitToolbar(m, c.window), (ToolbarFit{c.hidden, c.colorShown}));
    }
}

// At any width the hidden tools are a tail of the toolbar order, shrink as the window
// grows, and never swallow the first four above the minimum width. (Where the colour
// indicator comes back, a wider window shows one or two tools fewer than a narrower one
// without it.)
TEST(ToolbarLayout, NeverLosesATool)
{
    for (const auto& [name, m] : {std::pair{"without labels", unlabelledRow()}, {"with labels", labelledRow()}}) {
        SCOPED_TRACE(name);
        std::size_t previous = toolCount;
        bool colorShown = false;
        for (double w = 300; w <= 1800; w += 0.5) {
            const ToolbarFit fit = fitToolbar(m, w);
            ASSERT_EQ(fit.hiddenTools, tail(toolCount - fit.hiddenTools.size())) << w;
            if (fit.colorShown == colorShown) {
                ASSERT_LE(fit.hiddenTools.size(), previous) << w;
            }
            colorShown = fit.colorShown;
            if (w >= m.minimumWidth()) {
                ASSERT_GE(toolCount - fit.hiddenTools.size(), 4u) << w;
            }
            previous = fit.hiddenTools.size();
        }
        EXPECT_TRUE(fitToolbar(m, m.windowWidth(m.allToolsWidth(), true)).hiddenTools.empty());
    }
}

// A group's separator is paid with its first shown tool, once.
TEST(ToolbarLayout, SeparatorPaidOnce)
{
    for (const auto& [name, m] : {std::pair{"without labels", unlabelledRow()}, {"with labels", labelledRow()}}) {
        SCOPED_TRACE(name);
        const double firstFifteen = std::accumulate(m.toolWidths.begin(), m.toolWidths.begin() + 15, 0.0) +
                                    m.separatorWidths[0] + m.separatorWidths[1];
        const double withCrop = firstFifteen + m.separatorWidths[2] + m.toolWidths[15] + m.moreButtonWidth;
        EXPECT_EQ(m.toolsToHide(withCrop), tail(16));
        EXPECT_EQ(m.toolsToHide(withCrop - 0.5), tail(15));
        EXPECT_EQ(m.toolsToHide(withCrop + m.toolWidths[16]), tail(17));
    }
}

TEST(ToolbarLayout, ZoomText)
{
    for (const auto& [m, text] :
         {std::pair{1.0, "100%"}, {1.25, "125%"}, {1.0 / 3, "33%"}, {8.0, "800%"}, {0.05, "5%"}}) {
        SCOPED_TRACE(m);
        EXPECT_EQ(zoomText(m), QString::fromUtf8(text));
    }
}
