#include "core/shapes/CanvasShape.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
CanvasShape shape(AnnotationKind kind, std::vector<Point> points)
{
    return CanvasShape{kind, std::move(points), {}, Style::defaults(kind)};
}
} // namespace

TEST(CanvasShape, EmptyShapesHaveNothing)
{
    using K = AnnotationKind;
    for (AnnotationKind kind : allCases<AnnotationKind>()) {
        SCOPED_TRACE(std::string(enumText(kind)));
        const CanvasShape s = shape(kind, {});
        EXPECT_EQ(s.rect(), Rect(0, 0, 0, 0));
        EXPECT_EQ(s.bendPoint(), Point{});
        const bool hasRectHandles = isRectangular(kind);
        EXPECT_EQ(s.handles().empty(), !hasRectHandles);
        const bool nullBounds = kind == K::highlighter || kind == K::pencil || kind == K::number || kind == K::stamp ||
                                kind == K::cursor || kind == K::arrow || kind == K::line || kind == K::lens;
        EXPECT_EQ(s.shapeBounds().isNull(), nullBounds);
    }
}

TEST(CanvasShape, ResizedRectKeepsAspectAndFlips)
{
    const Rect r(0, 0, 200, 100);
    const Handle br = Handle::plain(HandleKind::bottomRight);
    EXPECT_EQ(CanvasShape::resizedRect(r, br, {300, 120}, true), Rect(0, 0, 300, 150));
    EXPECT_EQ(CanvasShape::resizedRect(r, br, {300, 120}, false), Rect(0, 0, 300, 120));
    EXPECT_EQ(CanvasShape::resizedRect(r, br, {-50, -20}, false), Rect(-50, -20, 50, 20));
    EXPECT_EQ(CanvasShape::resizedRect(r, Handle::plain(HandleKind::bend), {1, 1}, false), r);
    EXPECT_EQ(CanvasShape::resizedRect(r, Handle::endpoint(0), {1, 1}, false), r);
}

TEST(CanvasShape, BendAndEndpointDrags)
{
    const CanvasShape bent = shape(AnnotationKind::line, {{0, 0}, {10, 0}, {5, 5}});
    EXPECT_EQ(bent.resized(Handle::plain(HandleKind::bend), {5, 2.9}, false).size(), 2u);
    EXPECT_EQ(bent.resized(Handle::plain(HandleKind::bend), {5, 3}, false),
              (std::vector<Point>{{0, 0}, {10, 0}, {5, 3}}));
    const auto turned = bent.resized(Handle::endpoint(1), {0, 10}, false);
    EXPECT_NEAR(turned[2].x, -5, 1e-12);
    EXPECT_NEAR(turned[2].y, 5, 1e-12);
}

TEST(CanvasShape, CalloutKeepsItsMinimumWidthFromTheRight)
{
    CanvasShape callout = shape(AnnotationKind::callout, {{0, 0}, {200, 200}, {100, 60}});
    callout.text = QStringLiteral("Ciao");
    const auto points = callout.resized(Handle::plain(HandleKind::left), {90, 30}, false);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_DOUBLE_EQ(points[2].x - points[0].x, 40);
    EXPECT_DOUBLE_EQ(points[2].x, 100);
}

TEST(CanvasShape, HitTestsByKind)
{
    CanvasShape rect = shape(AnnotationKind::rectangle, {{0, 0}, {100, 100}});
    EXPECT_FALSE(rect.hitTest({50, 50}, 2));
    EXPECT_TRUE(rect.hitTest({1, 50}, 2));
    rect.style.fill = FillMode::solid;
    EXPECT_TRUE(rect.hitTest({50, 50}, 2));

    const CanvasShape big = shape(AnnotationKind::spotlight, {{0, 0}, {100, 100}});
    EXPECT_FALSE(big.hitTest({50, 50}, 2));
    EXPECT_TRUE(big.hitTest({0, 50}, 2));
    const CanvasShape small = shape(AnnotationKind::spotlight, {{0, 0}, {10, 10}});
    EXPECT_TRUE(small.hitTest({5, 5}, 2));

    const CanvasShape stamp = shape(AnnotationKind::stamp, {{0, 0}});
    const CanvasShape number = shape(AnnotationKind::number, {{0, 0}});
    const double corner = 2 + stamp.stampRadius();
    EXPECT_TRUE(stamp.hitTest({corner, corner}, 2));
    EXPECT_FALSE(number.hitTest({corner, corner}, 2));

    const CanvasShape arrow = shape(AnnotationKind::arrow, {{0, 0}, {100, 0}, {50, 40}});
    EXPECT_TRUE(arrow.hitTest({50, 40}, 1));
    EXPECT_FALSE(arrow.hitTest({50, 0}, 1));
}

TEST(CanvasShape, OutlineGrowsOnlyOutlinableKinds)
{
    CanvasShape rect = shape(AnnotationKind::rectangle, {{0, 0}, {100, 100}});
    rect.style.shapeOutline = true;
    rect.style.lineWidth = 2;
    EXPECT_EQ(rect.bounds(), rect.shapeBounds().insetBy(-1.5, -1.5));
    rect.style.lineWidth = 20;
    EXPECT_EQ(rect.bounds(), rect.shapeBounds().insetBy(-4, -4));
    CanvasShape text = shape(AnnotationKind::text, {{0, 0}});
    text.text = QStringLiteral("Ciao");
    text.style.shapeOutline = true;
    EXPECT_EQ(text.bounds(), text.shapeBounds());
}
