#include "app/editor/window/EditorWindowSizing.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(EditorWindowSizing, SmallCanvasOpensAtOneInAWindowOfThePreferredWidth)
{
    const EditorWindowSizing::Opening opening =
        EditorWindowSizing::opening(QRectF(0, 0, 1920, 1050), QSizeF(0, 80), QSizeF(400, 200), 900);
    EXPECT_EQ(opening.magnification, 1);
    EXPECT_EQ(opening.contentSize, QSizeF(900, 300)) << "at least the preferred width and 300 high";
}

TEST(EditorWindowSizing, LargeCanvasShrinksToTheScreenLessItsMarginsButNotBelowTheMinimum)
{
    // 1920 × 1080 less 30 a side is 1860 × 1020; less the chrome's 80 in height, 940 for 2880.
    const EditorWindowSizing::Opening opening =
        EditorWindowSizing::opening(QRectF(0, 0, 1920, 1080), QSizeF(0, 80), QSizeF(5120, 2880), 900);
    EXPECT_DOUBLE_EQ(opening.magnification, 940.0 / 2880);
    EXPECT_DOUBLE_EQ(opening.contentSize.height(), 940);
    EXPECT_DOUBLE_EQ(opening.contentSize.width(), 5120 * 940.0 / 2880 + 56);

    const EditorWindowSizing::Opening huge =
        EditorWindowSizing::opening(QRectF(0, 0, 1920, 1080), QSizeF(0, 80), QSizeF(100000, 100000), 900);
    EXPECT_EQ(huge.magnification, EditorZoom::minimum);
    EXPECT_EQ(huge.contentSize.width(), 1860) << "never wider than the screen allows";
}

TEST(EditorZoom, StepsAreClampedAndFitCanEnlarge)
{
    struct Case {
        double (*zoom)(double);
        double from, to;
    };
    const Case cases[] = {
        {EditorZoom::zoomedIn, 1, 1.25},     {EditorZoom::zoomedIn, 8, 8},   {EditorZoom::zoomedOut, 1, 0.8},
        {EditorZoom::zoomedOut, 0.05, 0.05}, {EditorZoom::zoomedIn, 7.9, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        EXPECT_DOUBLE_EQ(c.zoom(c.from), c.to);
    }
    EXPECT_DOUBLE_EQ(EditorZoom::toFit(QSizeF(200, 100), QSizeF(800, 600)), 4) << "a small canvas is enlarged";
    EXPECT_DOUBLE_EQ(EditorZoom::toFit(QSizeF(20, 10), QSizeF(800, 600)), 8) << "up to the maximum";
    EXPECT_DOUBLE_EQ(EditorZoom::toFit(QSizeF(5120, 2880), QSizeF(1280, 720)), 0.25);
    EXPECT_EQ(EditorZoom::toFit(QSizeF(0, 0), QSizeF(800, 600)), 1);
    EXPECT_EQ(EditorWindowSizing::preferredWidth(1200.2), 1203);
    EXPECT_EQ(EditorWindowSizing::preferredWidth(300), 900);
}
