#include "core/shapes/CursorGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vorlix;

namespace {

Style cursorStyle(CursorShape shape, double fontSize, bool clickMark = false)
{
    Style s = Style::defaults(AnnotationKind::cursor);
    s.cursorShape = shape;
    s.fontSize = fontSize;
    s.clickMark = clickMark;
    return s;
}

void expectRectNear(const Rect& actual, const Rect& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.minX(), expected.minX(), tolerance);
    EXPECT_NEAR(actual.minY(), expected.minY(), tolerance);
    EXPECT_NEAR(actual.maxX(), expected.maxX(), tolerance);
    EXPECT_NEAR(actual.maxY(), expected.maxY(), tolerance);
}

int subpathCount(const QPainterPath& path)
{
    int n = 0;
    for (int i = 0; i < path.elementCount(); ++i)
        n += path.elementAt(i).isMoveTo() ? 1 : 0;
    return n;
}

std::vector<QPointF> vertices(const QPainterPath& path)
{
    std::vector<QPointF> out;
    for (int i = 0; i < path.elementCount(); ++i)
        out.push_back(path.elementAt(i));
    return out;
}

} // namespace

TEST(CursorGeometry, EachShapeHasItsPartsColoursAndEdgeWidth)
{
    const RGBAColor dark{0.05, 0.05, 0.05, 1};
    const RGBAColor light{1, 1, 1, 1};
    struct Case {
        CursorShape shape;
        bool fill, beam, details;
        RGBAColor fillColor, edgeColor;
        double edgeWidth;
    };
    const Case cases[] = {
        {CursorShape::arrow, true, false, false, dark, light, 1.2},
        {CursorShape::whiteArrow, true, false, false, light, dark, 1.2},
        {CursorShape::pointingHand, true, false, false, light, dark, 1.0},
        {CursorShape::textBeam, false, true, false, dark, light, 1.4},
        {CursorShape::resize, true, false, false, dark, light, 1.2},
        {CursorShape::resizeVertical, true, false, false, dark, light, 1.2},
        {CursorShape::closedHand, true, false, true, light, dark, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(enumText(c.shape));
        const CursorGeometry::Drawing d = CursorGeometry::drawing(cursorStyle(c.shape, 20), {100, 100});
        EXPECT_EQ(d.fill.has_value(), c.fill);
        EXPECT_EQ(d.beam.has_value(), c.beam);
        EXPECT_EQ(d.details.has_value(), c.details);
        EXPECT_EQ(d.fillColor, c.fillColor);
        EXPECT_EQ(d.edgeColor, c.edgeColor);
        EXPECT_NEAR(d.edgeWidth, c.edgeWidth, 1e-12);
        if (d.fill) {
            EXPECT_EQ(d.fill->fillRule(), Qt::WindingFill);
        }
    }
}

TEST(CursorGeometry, ArrowOutlineIsTheUnitPolygonScaledToTheTip)
{
    const CursorGeometry::Drawing d = CursorGeometry::drawing(cursorStyle(CursorShape::arrow, 20), {100, 100});
    const std::vector<QPointF> expected{{100, 100},     {100, 116.8},   {104, 113.2},   {106.8, 119.6},
                                        {109.4, 118.6}, {106.6, 112.4}, {111.8, 112.4}, {100, 100}};
    const std::vector<QPointF> actual = vertices(*d.fill);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(actual[i].x(), expected[i].x(), 1e-9);
        EXPECT_NEAR(actual[i].y(), expected[i].y(), 1e-9);
    }
    EXPECT_NEAR(CursorGeometry::bounds(cursorStyle(CursorShape::arrow, 20), {100, 100}).minX(), 97.6, 1e-9);
}

TEST(CursorGeometry, BoundsAreTheTightOutlineGrownByTwiceTheEdgeWidth)
{
    // Unit extents of the fill (or beam) and the edge width factor.
    struct Case {
        CursorShape shape;
        double x0, y0, x1, y1, edge;
    };
    const Case cases[] = {
        {CursorShape::arrow, 0, 0, 0.59, 0.98, 0.06},
        {CursorShape::whiteArrow, 0, 0, 0.59, 0.98, 0.06},
        {CursorShape::pointingHand, -0.34, 0, 0.455, 0.98, 0.05},
        {CursorShape::textBeam, -0.14, -0.47, 0.14, 0.47, 0.07},
        {CursorShape::resize, -0.5, -0.22, 0.5, 0.22, 0.06},
        {CursorShape::resizeVertical, -0.22, -0.5, 0.22, 0.5, 0.06},
        {CursorShape::closedHand, -0.44, -0.33, 0.3, 0.32, 0.05},
    };
    const Point tip{100, 50};
    for (const Case& c : cases) {
        for (const double fontSize : {20.0, 30.0}) {
            SCOPED_TRACE(testing::Message() << enumText(c.shape) << " at font size " << fontSize);
            const double s = fontSize, g = 2 * c.edge * s;
            const Rect expected = Rect::corner({tip.x + s * c.x0 - g, tip.y + s * c.y0 - g},
                                               {tip.x + s * c.x1 + g, tip.y + s * c.y1 + g});
            expectRectNear(CursorGeometry::bounds(cursorStyle(c.shape, fontSize), tip), expected);
        }
    }
}

TEST(CursorGeometry, SizeHasAFloorOfEight)
{
    struct Case {
        double fontSize;
        double size;
    };
    const Case cases[] = {{4, 8}, {8, 8}, {8.5, 8.5}, {-3, 8}, {22, 22}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fontSize);
        const Style style = cursorStyle(CursorShape::arrow, c.fontSize);
        EXPECT_DOUBLE_EQ(CursorGeometry::size(style), c.size);
        EXPECT_DOUBLE_EQ(CursorGeometry::drawing(style, {0, 0}).edgeWidth, 0.06 * c.size);
        EXPECT_DOUBLE_EQ(CursorGeometry::drawing(style, {0, 0}).fill->boundingRect().height(), 0.98 * c.size);
        const Rect ring = CursorGeometry::clickRing(style, {10, 20});
        EXPECT_DOUBLE_EQ(ring.width(), 1.1 * c.size);
        EXPECT_DOUBLE_EQ(ring.midX(), 10);
        EXPECT_DOUBLE_EQ(ring.midY(), 20);
    }
}

TEST(CursorGeometry, ClickMarkUnitesTheGrownRingWithTheBounds)
{
    struct Case {
        CursorShape shape;
        double fontSize;
        Rect expected;
    };
    const Case cases[] = {
        // Ring of half side 11, grown by 3: (86, 86)...(114, 114); the arrow reaches 114.2 and 122.
        {CursorShape::arrow, 20, Rect(86, 86, 28.2, 36)},
        // At size 8 the grown ring (half side 7.4) holds the whole beam.
        {CursorShape::textBeam, 4, Rect(92.6, 92.6, 14.8, 14.8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(enumText(c.shape));
        expectRectNear(CursorGeometry::bounds(cursorStyle(c.shape, c.fontSize, true), {100, 100}), c.expected);
    }
}

TEST(CursorGeometry, VerticalResizeIsTheHorizontalOneWithAxesExchanged)
{
    const Point tip{40, 70};
    const QPainterPath horizontal = *CursorGeometry::drawing(cursorStyle(CursorShape::resize, 20), tip).fill;
    const QPainterPath vertical = *CursorGeometry::drawing(cursorStyle(CursorShape::resizeVertical, 20), tip).fill;
    ASSERT_EQ(horizontal.elementCount(), vertical.elementCount());
    for (int i = 0; i < horizontal.elementCount(); ++i) {
        SCOPED_TRACE(i);
        const QPointF h = horizontal.elementAt(i);
        const QPointF v = vertical.elementAt(i);
        EXPECT_NEAR(v.x() - tip.x, h.y() - tip.y, 1e-9);
        EXPECT_NEAR(v.y() - tip.y, h.x() - tip.x, 1e-9);
    }
    // The heads point up and down.
    EXPECT_NEAR(vertical.boundingRect().top(), tip.y - 10, 1e-9);
    EXPECT_NEAR(vertical.boundingRect().bottom(), tip.y + 10, 1e-9);
}

TEST(CursorGeometry, HandsAreOneOutlineCoveringEveryPiece)
{
    struct Case {
        CursorShape shape;
        std::vector<QPointF> inside, outside;
    };
    const Case cases[] = {
        {CursorShape::pointingHand,
         {{0, 0.05}, {0.14, 0.35}, {0.39, 0.45}, {0.1, 0.9}, {-0.3, 0.57}},
         {{0.2, 0.1}, {-0.3, 0.3}, {-0.3, 0.9}, {0.45, 0.33}}},
        {CursorShape::closedHand,
         {{-0.06, -0.3}, {0.22, -0.2}, {0, 0.2}, {-0.4, 0.06}},
         {{-0.4, -0.3}, {0.35, -0.25}, {-0.4, 0.3}}},
    };
    const Point tip{200, 300};
    const double s = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(enumText(c.shape));
        const QPainterPath fill = *CursorGeometry::drawing(cursorStyle(c.shape, s), tip).fill;
        // A true union has one boundary, so its edge stroke shows no seams inside.
        EXPECT_EQ(subpathCount(fill), 1);
        for (const QPointF& u : c.inside)
            EXPECT_TRUE(fill.contains(QPointF(tip.x + s * u.x(), tip.y + s * u.y()))) << u.x() << ", " << u.y();
        for (const QPointF& u : c.outside)
            EXPECT_FALSE(fill.contains(QPointF(tip.x + s * u.x(), tip.y + s * u.y()))) << u.x() << ", " << u.y();
    }
}

TEST(CursorGeometry, ClosedHandFingerLinesAndTextBeamPieces)
{
    const Point tip{0, 0};
    const CursorGeometry::Drawing hand = CursorGeometry::drawing(cursorStyle(CursorShape::closedHand, 10), tip);
    const std::vector<QPointF> lines = vertices(*hand.details);
    const std::vector<QPointF> expectedLines{{-1.3, -2.2}, {-1.3, -0.6}, {0.1, -2.2},
                                             {0.1, -0.6},  {1.5, -2.2},  {1.5, -0.6}};
    ASSERT_EQ(lines.size(), expectedLines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(lines[i].x(), expectedLines[i].x(), 1e-9);
        EXPECT_NEAR(lines[i].y(), expectedLines[i].y(), 1e-9);
    }

    const QPainterPath beam = *CursorGeometry::drawing(cursorStyle(CursorShape::textBeam, 10), tip).beam;
    EXPECT_EQ(subpathCount(beam), 3);
    // The serifs curve into the stem's ends.
    EXPECT_TRUE(beam.elementAt(0).isMoveTo());
    EXPECT_NEAR(beam.pointAtPercent(0).y(), -4.7, 1e-9);
    EXPECT_NEAR(beam.pointAtPercent(1).x(), 1.4, 1e-9);
    EXPECT_NEAR(beam.pointAtPercent(1).y(), 4.7, 1e-9);
}
