#include "core/model/Tool.h"

#include <gtest/gtest.h>

#include <set>

using namespace vorlix;

TEST(Tool, KeysAreDistinctLowerCaseLettersFoundOnlyExactly)
{
    std::set<char> keys;
    for (Tool tool : allTools()) {
        EXPECT_TRUE(key(tool) >= 'a' && key(tool) <= 'z') << rawValue(tool).toStdString();
        keys.insert(key(tool));
        EXPECT_EQ(toolForKey(key(tool)), tool);
        EXPECT_EQ(toolNamed(rawValue(tool)), tool);
    }
    EXPECT_EQ(keys.size(), toolCount);
    EXPECT_EQ(toolForKey('v'), Tool::select);
    EXPECT_EQ(toolForKey('e'), Tool::ocr);
    EXPECT_FALSE(toolForKey('V'));
    EXPECT_FALSE(toolForKey('y'));
    EXPECT_EQ(toolNamed("colorPicker"), Tool::colorPicker);
    EXPECT_FALSE(toolNamed("Select"));
}

TEST(Tool, DrawingToolsCoverEveryKindButBlurOnce)
{
    std::set<AnnotationKind> kinds;
    std::set<Tool> drawingNothing;
    for (Tool tool : allTools()) {
        if (const std::optional<AnnotationKind> kind = annotationKind(tool))
            EXPECT_TRUE(kinds.insert(*kind).second);
        else
            drawingNothing.insert(tool);
    }
    EXPECT_EQ(kinds.size(), annotationKindCount - 1);
    EXPECT_FALSE(kinds.contains(AnnotationKind::blur));
    EXPECT_EQ(drawingNothing, (std::set{Tool::select, Tool::colorPicker, Tool::ruler, Tool::crop, Tool::cutStrip,
                                        Tool::cutOut, Tool::ocr}));
    EXPECT_EQ(title(Tool::select), "Mano (seleziona e sposta)");
}
