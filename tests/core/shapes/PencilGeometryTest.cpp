#include "core/shapes/PencilGeometry.h"

#include "core/shapes/CurvePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace vorlix;

TEST(PencilGeometry, SimplifyKeepsTheEndsAndThePointsBeyondTheTolerance)
{
    struct Case {
        const char* name;
        std::vector<Point> points;
        double tolerance;
        std::vector<Point> expected;
    };
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

TEST(PencilGeometry, SimplifyForDrawingStaysWithinTheToleranceOfEveryPoint)
{
    // A dense wavy stroke, sampled far finer than the tolerance, with a zigzag beyond it.
    std::vector<Point> points;
    for (int i = 0; i < 20'000; ++i)
        points.push_back({i * 0.01, 5 * std::sin(i * 0.002) + (i > 15'000 ? (i % 2) * 0.8 : 0)});
    const double tolerance = 0.25;
    const std::vector<Point> drawn = PencilGeometry::simplifyForDrawing(points, tolerance);
    EXPECT_EQ(drawn.front(), points.front());
    EXPECT_EQ(drawn.back(), points.back());
    EXPECT_LT(drawn.size(), 6'000u); // the zigzag's 5,000 points stay, the smooth part almost vanishes
    const CurvePath kept = CurvePath::fromPolyline(drawn);
    double worst = 0;
    for (const Point& p : points)
        worst = std::max(worst, kept.distance(p));
    EXPECT_LE(worst, tolerance);

    EXPECT_EQ(PencilGeometry::simplifyForDrawing(points, 0), points);
    EXPECT_EQ(PencilGeometry::simplifyForDrawing({{0, 0}, {0.01, 0}}, 1), (std::vector<Point>{{0, 0}, {0.01, 0}}));
}

TEST(PencilGeometry, SmoothPathPiecesAreTheSmoothPathCut)
{
    std::vector<Point> points;
    for (int i = 0; i < 40; ++i)
        points.push_back({i * 3.0, (i % 5) * 2.0});
    const QPainterPath whole = PencilGeometry::smoothPath(points);
    for (const std::size_t perPiece :
         {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{38}, std::size_t{100}}) {
        SCOPED_TRACE(perPiece);
        const std::vector<QPainterPath> pieces = PencilGeometry::smoothPathPieces(points, perPiece);
        const std::size_t expected = (38 + std::max<std::size_t>(perPiece, 1) - 1) / std::max<std::size_t>(perPiece, 1);
        EXPECT_EQ(pieces.size(), expected);
        // Each piece starts where the previous ended; without those repeated starts the
        // elements are the whole path's.
        std::vector<QPointF> joined{whole.elementAt(0)};
        for (const QPainterPath& piece : pieces) {
            ASSERT_GT(piece.elementCount(), 1);
            EXPECT_EQ(QPointF(piece.elementAt(0)), joined.back());
            for (int i = 1; i < piece.elementCount(); ++i)
                joined.push_back(piece.elementAt(i));
        }
        ASSERT_EQ(joined.size(), static_cast<std::size_t>(whole.elementCount()));
        for (int i = 0; i < whole.elementCount(); ++i)
            EXPECT_EQ(joined[static_cast<std::size_t>(i)], QPointF(whole.elementAt(i)));
    }
    EXPECT_EQ(PencilGeometry::smoothPathPieces({{1, 2}, {3, 4}}, 5).size(), 1u);
}
