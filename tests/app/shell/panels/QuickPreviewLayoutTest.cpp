#include "app/shell/panels/QuickPreviewLayout.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(QuickPreviewLayout, TheThumbnailFitsNeverEnlargesAndKeepsItsMinimum)
{
    struct Case {
        int pixelWidth;
        int pixelHeight;
        double pixelsPerPoint;
        Size thumbnail;
        Size panel;
    };
    const Case cases[] = {
        {100, 40, 1, {120, 60}, {260, 124}},
        {2400, 1500, 1, {240, 150}, {260, 214}},
        {1000, 100, 1, {240, 60}, {260, 124}},
        {100, 1000, 1, {120, 150}, {260, 214}},
        {2400, 1500, 2, {240, 150}, {260, 214}},
        {200, 100, 1, {200, 100}, {260, 164}},
        {1920, 1080, 1, {240, 135}, {260, 199}},
        // A scale that means nothing counts as 1.
        {200, 100, 0, {200, 100}, {260, 164}},
        {200, 100, -2, {200, 100}, {260, 164}},
        // An empty image keeps the smallest thumbnail.
        {0, 0, 1, {120, 60}, {260, 124}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixelWidth << "x" << c.pixelHeight << " @" << c.pixelsPerPoint);
        const QuickPreviewLayout layout = QuickPreviewLayout::forShot(c.pixelWidth, c.pixelHeight, c.pixelsPerPoint);
        EXPECT_DOUBLE_EQ(layout.thumbnail.width, c.thumbnail.width);
        EXPECT_DOUBLE_EQ(layout.thumbnail.height, c.thumbnail.height);
        EXPECT_DOUBLE_EQ(layout.panel.width, c.panel.width);
        EXPECT_DOUBLE_EQ(layout.panel.height, c.panel.height);
    }
}

TEST(QuickPreviewLayout, ThePictureIsFittedAndCentredInsideTheThumbnail)
{
    struct Case {
        int pixelWidth;
        int pixelHeight;
        Rect picture;
    };
    const Case cases[] = {
        {1000, 100, Rect(0, 18, 240, 24)},   // letterboxed top and bottom
        {100, 1000, Rect(52.5, 0, 15, 150)}, // letterboxed left and right
        {100, 40, Rect(0, 6, 120, 48)},      // enlarged to the minimum frame's width
        {2400, 1500, Rect(0, 0, 240, 150)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixelWidth << "x" << c.pixelHeight);
        const Rect picture = QuickPreviewLayout::forShot(c.pixelWidth, c.pixelHeight, 1).pictureFrame();
        EXPECT_DOUBLE_EQ(picture.origin.x, c.picture.origin.x);
        EXPECT_DOUBLE_EQ(picture.origin.y, c.picture.origin.y);
        EXPECT_DOUBLE_EQ(picture.size.width, c.picture.size.width);
        EXPECT_DOUBLE_EQ(picture.size.height, c.picture.size.height);
    }
}

TEST(QuickPreviewLayout, ThePanelSits16InsideTheBottomRightOfTheAvailableArea)
{
    const QuickPreviewLayout layout = QuickPreviewLayout::forShot(100, 40, 1); // 260 × 124
    EXPECT_EQ(layout.origin(Rect(0, 0, 1280, 800)), (Point{1280 - 260 - 16, 800 - 124 - 16}));
    // A panel along the bottom and a second screen to the right of the first.
    EXPECT_EQ(layout.origin(Rect(1920, 0, 2560, 1400)), (Point{1920 + 2560 - 260 - 16, 1400 - 124 - 16}));
}
