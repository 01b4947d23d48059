#include "core/shapes/PencilGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vorlix;

TEST(PencilGeometry, SimplifyKeepsTheEndsAndThePointsBeyondTheTolerance)
{
    struct Case { const char* name; std::vector<Point> points; double tolerance; std::vector<Point> expected; };
    const Case cases[] = {
        {"collinear run", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, 0.6, {{0, 0}, {4, 0}}},
        {"0.7 off is kept", {{0, 0}, {5, 0.7}, {10, 0}}, 0.6, {{0, 0}, {5, 0.7}, {10, 0}}},
        {"0.5 off is dropped", {{0, 0}, {5, 0.5}, {10, 0}}, 0.6, {{0, 0}, {10, 0}}},
        {"exactly at the tolerance is dropped", {{0, 0}, {5, 0.5}, {10, 0}}, 0.5, {{0, 0}, {10, 0}}},
        // Beyond the chord's end the distance is to that end.
        {"past the end", {{0, 0}, {10, 0}, {10.5, 0.3}, {4, 0}}, 0.6, {{0, 0}, {10.5, 0.3}, {4, 0}}},
        // A closed loop: the chord has no length, so distances are to the first point.
        {"loop", {{0, 0}, {10, 0}, {10, 10}, {0, 0}}, 1, {{0, 0}, {10, 0}, {10, 10}, {0, 0}}},
        // Two points equally far: the earlier one splits the stroke.
        {"tie", {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}}, 0.9, {{0, 0}, {1, 1}, {4, 0}}},
        {"two points", {{0, 0}, {1, 1}}, 5, {{0, 0}, {1, 1}}},
        {"empty", {}, 0.6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PencilGeometry::simplify(c.points, c.tolerance), c.expected);
    }
}

TEST(PencilGeometry, SimplifyHandlesLongStrokes)
{
    // A zigzag keeps every point; a straight run of the same length keeps two.
    std::vector<Point> zigzag, straight;
    for (int i = 0; i < 3000; ++i) {
        zigzag.push_back({i * 1.0, (i % 2) * 2.0});
        straight.push_back({i * 1.0, i * 0.5});
    }
    EXPECT_EQ(PencilGeometry::simplify(zigzag, 0.6).size(), zigzag.size());
    EXPECT_EQ(PencilGeometry::simplify(straight, 0.6).size(), 2u);
}

TEST(PencilGeometry, SmoothPathCurvesThroughTheMidpoints)
{
    using Type = QPainterPath::ElementType;
    EXPECT_EQ(PencilGeometry::smoothPath({}).elementCount(), 0);

    const QPainterPath single = PencilGeometry::smoothPath({{3, 4}});
    ASSERT_EQ(single.elementCount(), 1);
    EXPECT_EQ(single.elementAt(0).type, Type::MoveToElement);

    const QPainterPath two = PencilGeometry::smoothPath({{0, 0}, {10, 0}});
    ASSERT_EQ(two.elementCount(), 2);
    EXPECT_EQ(two.elementAt(1).type, Type::LineToElement);
    EXPECT_EQ(QPointF(two.elementAt(1)), QPointF(10, 0));

    // Quadratics are stored as cubics: each curve is three elements, its end last.
    const QPainterPath four = PencilGeometry::smoothPath({{0, 0}, {10, 0}, {10, 10}, {20, 10}});
    ASSERT_EQ(four.elementCount(), 1 + 3 + 3 + 1);
    EXPECT_EQ(four.elementAt(1).type, Type::CurveToElement);
    EXPECT_EQ(QPointF(four.elementAt(3)), QPointF(10, 5));
    EXPECT_EQ(QPointF(four.elementAt(6)), QPointF(15, 10));
    EXPECT_EQ(four.elementAt(7).type, Type::LineToElement);
    EXPECT_EQ(QPointF(four.elementAt(7)), QPointF(20, 10));
    // The first curve's control is the second point: its cubic handles lie 2/3 towards it.
    EXPECT_EQ(QPointF(four.elementAt(1)), QPointF(20.0 / 3, 0));
}
