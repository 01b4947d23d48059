#include "app/editor/canvas/ScrollGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vorlix;

namespace {

// A 2000 x 1000 point frame starting at (-36, -36) in an 800 x 600 viewport.
ScrollGeometry largeFrame(double magnification = 1)
{
    ScrollGeometry g;
    g.magnification = magnification;
    g.boundsOrigin = {-36, -36};
    g.frameSize = {2000, 1000};
    g.viewportSize = {800, 600};
    return g;
}

void expectNear(Point actual, Point expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

} // namespace

TEST(ScrollGeometryTest, MapsCanvasPointsAndViewportPixelsBothWays)
{
    ScrollGeometry g = largeFrame(2);
    g.scrollTo({300, 150});
    EXPECT_EQ(g.scrollPosition, (Point{300, 150}));
    // The frame's top-left corner is scrolled 300 x 150 pixels out of view.
    expectNear(g.toViewport({-36, -36}), {-300, -150}, 1e-9);
    expectNear(g.toCanvas(g.toViewport({123.25, 456.5})), {123.25, 456.5}, 1e-9);
    EXPECT_EQ(g.visibleRect(), Rect(-36 + 150, -36 + 75, 400, 300));
    EXPECT_EQ(g.clipSize(), (Size{400, 300}));
}

TEST(ScrollGeometryTest, CentresAnAxisWhereTheFrameIsSmallerThanTheViewport)
{
    ScrollGeometry g;
    g.boundsOrigin = {10, 20};
    g.frameSize = {200, 1000};
    g.viewportSize = {800, 600};
    g.scrollTo({50, 50});
    EXPECT_EQ(g.scrollRange(), (Size{0, 400}));
    EXPECT_EQ(g.scrollPosition, (Point{0, 50}));
    // Horizontally (800 - 200) / 2 = 300 pixels to the frame; vertically scrolled by 50.
    EXPECT_EQ(g.toViewport({10, 20}), (Point{300, -50}));
    EXPECT_EQ(g.visibleRect().minX(), 10 - 300);
}

TEST(ScrollGeometryTest, KeepsTheCanvasOnWholePixels)
{
    ScrollGeometry g;
    g.boundsOrigin = {0.5, 0.25};
    g.frameSize = {201, 101};
    g.viewportSize = {800, 600};
    const Point origin = g.canvasOriginInViewport();
    EXPECT_EQ(origin.x, std::round(origin.x));
    EXPECT_EQ(origin.y, std::round(origin.y));
}

TEST(ScrollGeometryTest, ScrollingStaysWithinTheRange)
{
    ScrollGeometry g = largeFrame();
    g.scrollTo({-10, 1e9});
    EXPECT_EQ(g.scrollPosition, (Point{0, 400}));
    g.scrollTo({NAN, 12.4});
    EXPECT_EQ(g.scrollPosition, (Point{0, 12}));
}

TEST(ScrollGeometryTest, ZoomKeepsThePointStill)
{
    struct Case {
        double from, to;
        Point point;
    };
    for (const Case c :
         {Case{1, 2, {400, 300}}, Case{1, 1.25, {900, 500}}, Case{2, 1.5, {700, 400}}, Case{1, 8, {1000, 500}}}) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        ScrollGeometry g = largeFrame(c.from);
        g.place(c.point, {400, 300});
        const Point before = g.toViewport(c.point);
        g.zoom(c.to, c.point);
        EXPECT_EQ(g.magnification, c.to);
        // Whole-pixel scrolling moves it by half a pixel at most.
        expectNear(g.toViewport(c.point), before, 0.5 + 1e-9);
    }
}

TEST(ScrollGeometryTest, ZoomIsClampedToTheAllowedRange)
{
    ScrollGeometry g = largeFrame(8);
    g.zoom(8 * 1.25, {100, 100});
    EXPECT_EQ(g.magnification, 8);
    g.zoom(0.01, {100, 100});
    EXPECT_EQ(g.magnification, 0.05);
    g.zoom(NAN, {100, 100});
    EXPECT_EQ(g.magnification, 1);
}

TEST(ScrollGeometryTest, FitEnlargesSmallContentAndReducesLargeContent)
{
    struct Case {
        Rect content;
        double expected;
    };
    const Size viewport{800, 600};
    for (const Case c : {Case{{0, 0, 200, 100}, 4},       // small: zoomed in
                         Case{{0, 0, 1600, 600}, 0.5},    // wide: the width decides
                         Case{{-50, 10, 400, 1200}, 0.5}, // tall: the height decides
                         Case{{0, 0, 10, 10}, 8},         // tiny: at most 8
                         Case{{0, 0, 100000, 100}, 0.05}, // huge: at least 0.05
                         Case{{0, 0, 0, 100}, 1}}) {      // no area: unchanged scale
        SCOPED_TRACE(testing::Message() << c.content.width() << " x " << c.content.height());
        EXPECT_DOUBLE_EQ(ScrollGeometry::fitMagnification(c.content, viewport), c.expected);
    }
}
