#include "core/model/Geometry.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vorlix;

TEST(Rect, UnionIgnoresOnlyTheNullRectangle)
{
    const Rect r(10, 10, 5, 5);
    EXPECT_EQ(Rect::null().united(r), r);
    EXPECT_EQ(r.united(Rect::null()), r);
    EXPECT_TRUE(Rect::null().united(Rect::null()).isNull());
    // A zero-size rectangle at a point is not null and enlarges the union.
    EXPECT_EQ(r.united(Rect(0, 0, 0, 0)), Rect(0, 0, 15, 15));
    EXPECT_FALSE(Rect(3, 4, 0, 0).isNull());
    EXPECT_TRUE(Rect(3, 4, 0, 0).isEmpty());
}

TEST(Rect, ContainmentIsHalfOpenOnTheStandardisedRectangle)
{
    const Rect r(10, 10, -10, 20); // standardises to (0, 10, 10, 20)
    EXPECT_TRUE(r.contains(Point{0, 10}));
    EXPECT_TRUE(r.contains(Point{9.999, 29.999}));
    EXPECT_FALSE(r.contains(Point{10, 15}));
    EXPECT_FALSE(r.contains(Point{5, 30}));
    EXPECT_FALSE(Rect(0, 0, 0, 10).contains(Point{0, 5}));
    EXPECT_FALSE(Rect::null().contains(Point{0, 0}));
    EXPECT_EQ(r.standardized(), Rect(0, 10, 10, 20));
}

TEST(Rect, IntersectionOfDisjointIsNullAndOfTouchingIsAnEdge)
{
    const Rect a(0, 0, 10, 10);
    EXPECT_TRUE(a.intersection(Rect(20, 20, 5, 5)).isNull());
    EXPECT_FALSE(a.intersects(Rect(20, 20, 5, 5)));
    EXPECT_EQ(a.intersection(Rect(10, 2, 5, 5)), Rect(10, 2, 0, 5));
    EXPECT_EQ(a.intersection(Rect(5, 5, 10, 10)), Rect(5, 5, 5, 5));
    EXPECT_TRUE(a.intersection(Rect::null()).isNull());
}

TEST(Rect, InsetIntegralAndCorner)
{
    EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(-2, -3), Rect(-2, -3, 14, 16));
    EXPECT_TRUE(Rect(0, 0, 10, 10).insetBy(6, 0).isNull());
    EXPECT_EQ(Rect(0.5, 1.2, 2.1, 2).integral(), Rect(0, 1, 3, 3));
    EXPECT_TRUE(Rect::null().integral().isNull());
    EXPECT_EQ(Rect::corner({5, 1}, {2, 7}), Rect(2, 1, 3, 6));
}

TEST(AffineTransform, ConcatenationAppliesInOrderAndInverts)
{
    const auto t = AffineTransform::scaling(2, 3).concatenating(AffineTransform::translation(10, 20));
    EXPECT_EQ(t.apply(Point{1, 1}), (Point{12, 23}));
    const Point back = t.inverted().apply(Point{12, 23});
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 1, 1e-12);
    const auto singular = AffineTransform::scaling(0, 1);
    EXPECT_EQ(singular.inverted(), singular);
    EXPECT_EQ(AffineTransform::rotation(0).apply(Rect(1, 2, 3, 4)), (Rect(1, 2, 3, 4)));
}

TEST(Point, SegmentDistanceSnapAndChordMapping)
{
    EXPECT_DOUBLE_EQ((Point{5, 5}).distanceToSegment({0, 0}, {10, 0}), 5);
    EXPECT_DOUBLE_EQ((Point{-3, 4}).distanceToSegment({0, 0}, {10, 0}), 5);
    EXPECT_DOUBLE_EQ((Point{3, 4}).distanceToSegment({0, 0}, {0, 0}), 5);
    const Point snapped = (Point{10, 1}).snappedAngle({0, 0});
    EXPECT_NEAR(snapped.x, std::hypot(10, 1), 1e-12);
    EXPECT_NEAR(snapped.y, 0, 1e-12);
    // Turning the chord (0,0)-(1,0) onto (0,0)-(0,2) rotates by 90 degrees and doubles.
    const Point m = (Point{1, 1}).mapped({0, 0}, {1, 0}, {0, 0}, {0, 2});
    EXPECT_NEAR(m.x, -2, 1e-12);
    EXPECT_NEAR(m.y, 2, 1e-12);
    EXPECT_EQ((Point{1, 1}.mapped({0, 0}, {0, 0}, {5, 5}, {9, 9})), (Point{6, 6}));
}

TEST(Numeric, ConversionsSaturate)
{
    EXPECT_EQ(saturatingInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(saturatingInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(saturatingInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(roundedInt64(2.5), 3);
    EXPECT_EQ(roundedInt64(-2.5), -3);
    EXPECT_EQ(roundedInt64(1e300), std::numeric_limits<long long>::max());
}
