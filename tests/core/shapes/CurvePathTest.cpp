#include "core/shapes/CurvePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

using namespace vorlix;

namespace vorlix {
// Lets failure messages show points.
static std::ostream& operator<<(std::ostream& out, Point p) { return out << "(" << p.x << ", " << p.y << ")"; }
} // namespace vorlix

namespace {

void expectPointsNear(const std::vector<Point>& actual, const std::vector<Point>& expected, double tolerance = 1e-9)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "point " << i << " " << actual[i] << " expected " << expected[i]);
        EXPECT_NEAR(actual[i].x, expected[i].x, tolerance);
        EXPECT_NEAR(actual[i].y, expected[i].y, tolerance);
    }
}

} // namespace

TEST(CurvePath, ControlPointsWithinOnePointOfTheSegmentLeaveTheLineStraight)
{
    struct Case {
        Point start, end;
        std::optional<Point> through;
        bool curved;
    };
    const Case cases[] = {
        {{0, 0}, {100, 0}, std::nullopt, false},
        {{0, 0}, {100, 0}, Point{50, 0.9}, false},
        {{0, 0}, {100, 0}, Point{50, 1.0}, true},
        {{0, 0}, {100, 0}, Point{50, -1.0}, true},
        // Beyond the end the distance is to the end point, not to the chord's line.
        {{0, 0}, {100, 0}, Point{100.6, 0.6}, false},
        {{0, 0}, {100, 0}, Point{101, 0.5}, true},
        // A chord of (almost) no length cannot be bent.
        {{5, 5}, {5.00005, 5}, Point{40, 40}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "through " << (c.through ? c.through->y : -99));
        const CurvePath path(c.start, c.end, c.through);
        EXPECT_EQ(path.isCurved(), c.curved);
        if (!c.curved) {
            EXPECT_EQ(path.points(), (std::vector<Point>{c.start, c.end}));
        }
    }
}

TEST(CurvePath, EachHalfHasOneSampleForEveryThreePointsOfItsControlPolygon)
{
    struct Case {
        Point start, end, through;
        std::size_t count;
    };
    const Case cases[] = {
        {{0, 0}, {100, 0}, {50, 1}, 17 + 16},         // halves of 50.02 / 3 -> 16 intervals each
        {{0, 0}, {300, 0}, {60, 30}, 25 + 81},        // 72.4 / 3 -> 24 and 243.7 / 3 -> 81
        {{0, 0}, {10, 0}, {5, 2}, 9 + 8},             // raised to 8 intervals per half
        {{0, 0}, {10000, 0}, {5000, 100}, 201 + 200}, // capped at 200
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "expected " << c.count);
        EXPECT_EQ(CurvePath(c.start, c.end, c.through).points().size(), c.count);
    }
}

TEST(CurvePath, BentLineRunsFromStartToEndThroughTheApexOnceWithoutOvershoot)
{
    struct Case {
        Point start, end, through, apex;
    };
    const Case cases[] = {
        {{0, 0}, {100, 0}, {50, 20}, {50, 20}},
        {{10, 10}, {10, 110}, {30, 60}, {30, 60}},
        {{0.3, 0.7}, {97.1, 41.9}, {20.2, 55.5}, {20.2, 55.5}},
        // Projections outside the middle 90 % slide along the chord to the 5 % / 95 % mark.
        {{0, 0}, {100, 0}, {150, 20}, {95, 20}},
        {{0, 0}, {100, 0}, {-30, -10}, {5, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "through " << c.through);
        const CurvePath path(c.start, c.end, c.through);
        const std::vector<Point>& pts = path.points();
        EXPECT_EQ(pts.front(), c.start);
        EXPECT_EQ(pts.back(), c.end);
        const auto atApex = std::count_if(pts.begin(), pts.end(), [&](Point p) { return p.distance(c.apex) < 1e-9; });
        EXPECT_EQ(atApex, 1);
        EXPECT_LT(path.distance(c.apex), 1e-9);

        // No point lies farther from the chord than the apex, on its side.
        const double d = c.start.distance(c.end);
        const Point u{(c.end.x - c.start.x) / d, (c.end.y - c.start.y) / d};
        const auto offset = [&](Point p) { return (p.y - c.start.y) * u.x - (p.x - c.start.x) * u.y; };
        const double apexOffset = offset(c.apex);
        for (const Point& p : pts)
            EXPECT_LE(std::abs(offset(p)), std::abs(apexOffset) + 1e-9);
        // The path grows steadily along the chord: no loops back.
        for (std::size_t i = 1; i < pts.size(); ++i)
            EXPECT_GE((pts[i].x - pts[i - 1].x) * u.x + (pts[i].y - pts[i - 1].y) * u.y, 0);
    }
}

TEST(CurvePath, ControlPointListsGiveStartEndAndThrough)
{
    const Point s{0, 0}, e{100, 0}, t{40, 30};
    EXPECT_EQ(CurvePath::fromControlPoints({s, e}), CurvePath(s, e, std::nullopt));
    EXPECT_EQ(CurvePath::fromControlPoints({s, e, t, {7, 7}}), CurvePath(s, e, t));
    EXPECT_TRUE(CurvePath::fromControlPoints({}).points().empty());
    EXPECT_EQ(CurvePath::fromControlPoints({t}).points(), (std::vector<Point>{t, t}));
}

TEST(CurvePath, PointAtDistanceWalksTheSegments)
{
    // The first segment has no length.
    const CurvePath path = CurvePath::fromPolyline({{0, 0}, {0, 0}, {3, 4}, {3, 10}});
    EXPECT_DOUBLE_EQ(path.length(), 11);
    struct Case {
        double distance;
        Point expected;
    };
    const Case cases[] = {
        {-2, {0, 0}}, {0, {0, 0}}, {2.5, {1.5, 2}}, {5, {3, 4}}, {8, {3, 7}}, {11, {3, 10}}, {50, {3, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.distance);
        const Point p = path.point(c.distance);
        EXPECT_NEAR(p.x, c.expected.x, 1e-12);
        EXPECT_NEAR(p.y, c.expected.y, 1e-12);
    }

    const CurvePath empty;
    EXPECT_EQ(empty.length(), 0);
    EXPECT_EQ(empty.point(3), (Point{0, 0}));
    EXPECT_TRUE(empty.bounds().isNull());
}

TEST(CurvePath, SubpathKeepsTheVerticesStrictlyBetweenItsEnds)
{
    const CurvePath path = CurvePath::fromPolyline({{0, 0}, {10, 0}, {10, 10}, {20, 10}});
    struct Case {
        double from, to;
        std::vector<Point> expected;
    };
    const Case cases[] = {
        {5, 25, {{5, 0}, {10, 0}, {10, 10}, {15, 10}}},
        {10, 20, {{10, 0}, {10, 10}}},
        {5, 5, {{5, 0}, {5, 0}}},
        {8, 3, {{8, 0}, {8, 0}}},
        {-5, 100, {{0, 0}, {10, 0}, {10, 10}, {20, 10}, {20, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
        expectPointsNear(path.subpath(c.from, c.to), c.expected);
    }
}

TEST(CurvePath, DistanceAndNearnessAgreeInsideAndOutsideTheBoundingBox)
{
    const CurvePath elbow = CurvePath::fromPolyline({{0, 0}, {10, 0}, {10, 10}});
    const CurvePath diagonal = CurvePath::fromPolyline({{0, 0}, {100, 100}});
    struct Case {
        const CurvePath* path;
        Point p;
        double distance;
        double tolerance;
        bool near;
    };
    const Case cases[] = {
        {&elbow, {5, 3}, 3, 3, true}, // exactly at the tolerance
        {&elbow, {5, 3}, 3, 2.9, false},
        {&elbow, {7, 4}, 3, 3.5, true}, // nearer to the second segment
        {&elbow, {-3, -4}, 5, 5, true}, // outside the box, within the tolerance
        {&elbow, {13, 14}, 5, 4, false},
        {&elbow, {10, 5}, 0, 0, true},
        {&diagonal, {100, 0}, std::sqrt(5000.0), 5, false}, // inside the box, far from the line
        {&diagonal, {-3, 0}, 3, 5, true},
        {&diagonal, {500, 500}, std::hypot(400.0, 400.0), 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p << " within " << c.tolerance);
        EXPECT_NEAR(c.path->distance(c.p), c.distance, 1e-9);
        EXPECT_EQ(c.path->isNear(c.p, c.tolerance), c.near);
    }

    for (const CurvePath& noSegment : {CurvePath(), CurvePath::fromPolyline({{1, 1}})}) {
        EXPECT_EQ(noSegment.distance({1, 1}), std::numeric_limits<double>::max());
        EXPECT_FALSE(noSegment.isNear({1, 1}, 10));
    }
}

TEST(CurvePath, BoundsHoldEveryPointOfABentLine)
{
    const CurvePath path({0, 0}, {100, 0}, Point{50, -30});
    const Rect b = path.bounds();
    EXPECT_DOUBLE_EQ(b.minX(), 0);
    EXPECT_DOUBLE_EQ(b.maxX(), 100);
    EXPECT_DOUBLE_EQ(b.minY(), -30);
    EXPECT_DOUBLE_EQ(b.maxY(), 0);
    // A horizontal straight line has a zero-height box, which is not null.
    const Rect flat = CurvePath({0, 5}, {10, 5}, std::nullopt).bounds();
    EXPECT_FALSE(flat.isNull());
    EXPECT_EQ(flat, Rect(0, 5, 10, 0));
}

TEST(StrokeOutline, WidensLinearlyAlongThePolyline)
{
    struct Case {
        const char* name;
        std::vector<Point> points;
        double startWidth, endWidth;
        std::vector<Point> expected;
    };
    const double r = std::sqrt(0.5);
    const Case cases[] = {
        {"straight", {{0, 0}, {100, 0}}, 1, 9, {{0, 0.5}, {100, 4.5}, {100, -4.5}, {0, -0.5}}},
        // The middle point's normal follows the direction from its previous to its next point.
        {"elbow",
         {{0, 0}, {10, 0}, {10, 10}},
         2,
         6,
         {{0, 1}, {10 - 2 * r, 2 * r}, {7, 10}, {13, 10}, {10 + 2 * r, -2 * r}, {0, -1}}},
        {"no length", {{5, 5}, {5, 5}}, 2, 4, {{5, 5}, {5, 5}, {5, 5}, {5, 5}}},
        {"one point", {{1, 2}}, 2, 4, {{1, 2}}},
        {"empty", {}, 2, 4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectPointsNear(strokeOutline(c.points, c.startWidth, c.endWidth), c.expected);
    }
}

TEST(StrokeOutline, PolylinePathClosesOnlyWhenAsked)
{
    const std::vector<Point> pts{{0, 0}, {10, 0}, {10, 10}};
    const QPainterPath open = polylinePath(pts);
    ASSERT_EQ(open.elementCount(), 3);
    EXPECT_EQ(QPointF(open.elementAt(2)), QPointF(10, 10));
    const QPainterPath closed = polylinePath(pts, true);
    EXPECT_EQ(closed.elementCount(), 4);
    EXPECT_EQ(QPointF(closed.elementAt(3)), QPointF(0, 0));
    EXPECT_EQ(closed.fillRule(), Qt::WindingFill);
    EXPECT_TRUE(polylinePath({}).isEmpty());
}
