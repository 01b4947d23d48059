#include "core/shapes/ShapeGeometry.h"
#include "core/shapes/CanvasShape.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
Style arrowStyle(double width, double taper = 0.2, bool doubleHead = false)
{
    Style s = Style::defaults(AnnotationKind::arrow);
    s.lineWidth = width;
    s.arrowTaper = taper;
    s.arrowDoubleHead = doubleHead;
    return s;
}
} // namespace

TEST(ArrowGeometry, HeadsFollowWidthLengthAndCaps)
{
    struct Case {
        const char* name;
        double length;
        Style style;
        double headLength;
        double headHalfWidth;
        double shaftStartWidth;
    };
    const Case cases[] = {
        {"long", 100, arrowStyle(4), 10.4, 5.2, 1},
        {"short single", 10, arrowStyle(4), 6, 3.6, 1},
        {"short double", 10, arrowStyle(4, 0.2, true), 3, 3.6, 4},
        {"thin counts as one", 100, arrowStyle(0.5), 10, 5, 1},
        {"no taper floor", 100, arrowStyle(8, 0), 20.8, 10.4, 1},
        {"half taper", 100, arrowStyle(8, 0.5), 20.8, 10.4, 4},
        {"double ignores taper", 100, arrowStyle(8, 0.5, true), 20.8, 10.4, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ArrowGeometry g({0, 0}, {c.length, 0}, c.style);
        EXPECT_NEAR(g.headLength, c.headLength, 1e-9);
        EXPECT_NEAR(g.headHalfWidth, c.headHalfWidth, 1e-9);
        EXPECT_NEAR(g.shaftStartWidth, c.shaftStartWidth, 1e-9);
    }
    const ArrowGeometry filled({0, 0}, {100, 0}, arrowStyle(4));
    EXPECT_NEAR(filled.shaftCenterline().back().x, 93.24, 1e-9);
}

TEST(ArrowGeometry, DegenerateArrowPointsItsHeadSideways)
{
    const ArrowGeometry g({5, 5}, {5, 5}, arrowStyle(4));
    EXPECT_EQ(g.headLength, 0);
    EXPECT_EQ(g.headBase(), (Point{5, 5}));
    const auto t = g.headTriangle();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1], (Point{5, 5 + 3.6}));
    EXPECT_EQ(t[2], (Point{5, 5 - 3.6}));
    EXPECT_FALSE(g.bounds().isNull());
}

TEST(LensGeometry, RadiusMagnificationAndConnector)
{
    Style s = Style::defaults(AnnotationKind::lens);
    const LensGeometry tiny({{0, 0}, {2, 0}, {100, 0}}, s);
    EXPECT_EQ(tiny.sourceRect, Rect(-4, -4, 8, 8));
    s.filterIntensity = 0;
    EXPECT_EQ(LensGeometry({{0, 0}, {10, 0}}, s).magnification, 1.1);
    s.filterIntensity = 25;
    EXPECT_EQ(LensGeometry({{0, 0}, {10, 0}}, s).magnification, 10);
    s.filterIntensity = 2;
    // Magnified about the source itself: the circles overlap, no connector.
    EXPECT_FALSE(LensGeometry({{0, 0}, {10, 0}}, s).connector());
    const auto connector = LensGeometry({{0, 0}, {10, 0}, {100, 0}}, s).connector();
    ASSERT_TRUE(connector);
    EXPECT_NEAR(connector->first.x, 10, 1e-9);
    EXPECT_NEAR(connector->second.x, 80, 1e-9);
}

TEST(MeasureGeometry, LabelTextAndPlacement)
{
    EXPECT_EQ(MeasureGeometry::text(99.5), "100 px");
    EXPECT_EQ(MeasureGeometry::text(-0.4), "0 px");
    Style s = Style::defaults(AnnotationKind::line);
    s.showsMeasure = true;
    EXPECT_FALSE(MeasureGeometry::make(CanvasShape{AnnotationKind::line, {{0, 0}, {20, 0}}, {}, s}));
    const auto shortLine =
        MeasureGeometry::make(CanvasShape{AnnotationKind::line, {{0, 100}, {20, 100}}, "1234 px", s});
    ASSERT_TRUE(shortLine);
    // Too short for the label: it moves above the line.
    EXPECT_LT(shortLine->labelRect.maxY(), 100);
    EXPECT_EQ(shortLine->ticks[0].start, (Point{0, 100 + 10}));
    const auto longLine = MeasureGeometry::make(CanvasShape{AnnotationKind::line, {{0, 100}, {400, 100}}, "1 px", s});
    ASSERT_TRUE(longLine);
    EXPECT_NEAR(longLine->labelRect.midY(), 100, 1e-9);
}

TEST(NumberAndCallout, BadgeRadiusAndBubbleTail)
{
    Style s;
    s.fontSize = 4;
    EXPECT_NEAR(NumberGeometry::radius(s), 6.4, 1e-12);
    s.numberShape = NumberShape::drop;
    const QRectF drop = NumberGeometry::path({0, 0}, s).boundingRect();
    EXPECT_NEAR(drop.left(), -6.4, 1e-6);
    EXPECT_NEAR(drop.bottom(), 6.4, 1e-6);

    const Rect box(0, 0, 100, 50);
    const QRectF noTail = CalloutGeometry::bubblePath(box, Point{101, 25}).boundingRect();
    EXPECT_NEAR(noTail.right(), 100, 1e-6);
    const QRectF withTail = CalloutGeometry::bubblePath(box, Point{160, 25}).boundingRect();
    EXPECT_NEAR(withTail.right(), 160, 0.5);
    EXPECT_NEAR(CalloutGeometry::bubblePath(Rect(0, 0, 0, 50), Point{160, 25}).boundingRect().right(), 0, 1e-6);
}
