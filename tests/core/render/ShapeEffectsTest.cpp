#include "core/render/ShapeEffects.h"

#include "core/shapes/QtConversions.h"
#include "support/DrawingTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace vorlix;
using namespace vorlix::test;

namespace {

const QColor grey(128, 128, 128);

} // namespace

TEST(ShapeOutline, HaloContrastsWithTheStrokeAndFollowsIt)
{
    const RGBAColor red = Palette::red();
    const RGBAColor navy{0, 0, 0.5, 1};
    struct Case {
        const char* name;
        RGBAColor stroke;
        double lineWidth;
        Rect rect;
        int haloX;  // inside the halo, left of the left edge's stroke
        int clearX; // just beyond the halo's reach
        QColor halo;
    };
    const Case cases[] = {
        // Width 5: rings at 0.75 and 1.5 around the stroke (17.5...22.5), so out to 16.
        {"red", red, 5, {20, 20, 60, 60}, 16, 14, Qt::black},
        {"navy", navy, 5, {20, 20, 60, 60}, 16, 14, Qt::white},
        // Width 20: the halo is 4 wide (not 6): the stroke reaches 30, the halo 26.
        {"wide", red, 20, {40, 40, 60, 60}, 27, 25, Qt::black},
        // No stroke: the filled shape itself gets the halo, 1.5 wide.
        {"fill only", red, 0, {20, 20, 60, 60}, 19, 17, Qt::black},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CanvasShape shape =
            makeShape(AnnotationKind::rectangle, {c.rect.origin, {c.rect.maxX(), c.rect.maxY()}}, [&](Style& s) {
                s.strokeColor = c.stroke;
                s.lineWidth = c.lineWidth;
                s.shapeOutline = true;
                if (c.lineWidth == 0) {
                    s.fill = FillMode::solid;
                    s.fillColor = c.stroke;
                }
            });
        const QImage image = rendered(shape, 140, 140, grey);
        const int y = int(c.rect.midY());
        EXPECT_LE(channelDistance(image.pixelColor(c.haloX, y), c.halo), 2);
        EXPECT_EQ(image.pixelColor(c.clearX, y), grey);
        // The stroke itself is on top of its halo.
        if (c.lineWidth > 0) {
            EXPECT_LE(channelDistance(image.pixelColor(int(c.rect.minX()), y), toQColor(c.stroke)), 2);
            EXPECT_EQ(image.pixelColor(int(c.rect.midX()), y), grey);
        } else {
            EXPECT_LE(channelDistance(image.pixelColor(int(c.rect.midX()), y), toQColor(c.stroke)), 2);
        }
    }
}

TEST(ShapeOutline, TranslucentShapeIsCompositedOnceWithItsHalo)
{
    const CanvasShape shape = makeShape(AnnotationKind::rectangle, {{20, 20}, {80, 80}}, [](Style& s) {
        s.strokeColor = RGBAColor{1, 0, 0, 1};
        s.lineWidth = 6;
        s.shapeOutline = true;
        s.opacity = 0.5;
    });
    const QImage image = rendered(shape, 100, 100);
    // Red over its own black halo, half over white: red at half strength, no black
    // showing through the stroke.
    EXPECT_LE(channelDistance(image.pixelColor(20, 50), QColor(255, 128, 128)), 2);
    EXPECT_LE(channelDistance(image.pixelColor(16, 50), QColor(128, 128, 128)), 2);
}

TEST(ChalkTextures, GrainHasThreeLevelsInTheirProportions)
{
    const QImage& grain = Renderer::chalkGrain();
    ASSERT_EQ(grain.size(), QSize(96, 96));
    std::map<int, int> counts;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            ++counts[qAlpha(grain.pixel(x, y))];
    ASSERT_EQ(counts.size(), 3u);
    const double n = 96.0 * 96.0;
    EXPECT_NEAR(counts[240] / n, 0.20, 0.02);
    EXPECT_NEAR(counts[110] / n, 0.25, 0.02);
    EXPECT_NEAR(counts[0] / n, 0.55, 0.02);
}

TEST(ChalkTextures, BlotchesAreTranslucentStreaksThatTile)
{
    const QImage& blotches = Renderer::chalkBlotches();
    ASSERT_EQ(blotches.size(), QSize(192, 192));
    int covered = 0;
    int maximum = 0;
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 192; ++x) {
            const int a = qAlpha(blotches.pixel(x, y));
            covered += a > 0 ? 1 : 0;
            maximum = std::max(maximum, a);
        }
    const double coverage = covered / (192.0 * 192.0);
    EXPECT_GT(coverage, 0.25);
    EXPECT_LT(coverage, 0.75);
    EXPECT_LT(maximum, 255);
    // Strokes wrap around the edges: the first and last columns carry ink alike.
    int leftInk = 0;
    int rightInk = 0;
    for (int y = 0; y < 192; ++y) {
        leftInk += qAlpha(blotches.pixel(0, y)) > 0 ? 1 : 0;
        rightInk += qAlpha(blotches.pixel(191, y)) > 0 ? 1 : 0;
    }
    EXPECT_GT(leftInk, 10);
    EXPECT_GT(rightInk, 10);
}

TEST(Chalk, ErasesSpecksAnchoredAtTheCanvasOrigin)
{
    const auto chalkLine = [](double x) {
        return makeShape(AnnotationKind::line, {{x, 40}, {x + 100, 40}}, [](Style& s) {
            s.lineWidth = 12;
            s.chalk = true;
            s.strokeColor = RGBAColor{0, 0, 1, 1};
        });
    };
    const QImage image = rendered(chalkLine(20), 320, 80, Qt::transparent);
    // Along the core of the line, some pixels lose part of their alpha, most keep some.
    int erased = 0;
    int empty = 0;
    int total = 0;
    for (int y = 38; y <= 41; ++y)
        for (int x = 30; x < 110; ++x) {
            const int a = image.pixelColor(x, y).alpha();
            erased += a < 250 ? 1 : 0;
            empty += a == 0 ? 1 : 0;
            ++total;
        }
    EXPECT_GT(erased, total / 10);
    EXPECT_LT(erased, total * 8 / 10);
    EXPECT_LT(empty, total / 10);

    // The textures repeat every 96 points from the canvas origin: moved by 96 the line
    // looks the same, moved by 30 it does not.
    const QRect band(10, 20, 120, 40);
    EXPECT_EQ(image.copy(band), rendered(chalkLine(116), 320, 80, Qt::transparent).copy(band.translated(96, 0)));
    EXPECT_NE(image.copy(band), rendered(chalkLine(50), 320, 80, Qt::transparent).copy(band.translated(30, 0)));
}

TEST(CursorPreview, IsASquareOfRoundedPixelsWithTheCursorCentred)
{
    const QImage preview = Renderer::cursorPreview(CursorShape::pointingHand, 16, 2);
    ASSERT_EQ(preview.size(), QSize(32, 32));
    const QRect ink = inkBox(preview, [](QColor c) { return c.alpha() > 0; });
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.left() + ink.width() / 2.0, 16, 1.5);
    EXPECT_NEAR(ink.top() + ink.height() / 2.0, 16, 1.5);

    EXPECT_TRUE(Renderer::cursorPreview(CursorShape::arrow, 0.2, 1).isNull());
    EXPECT_TRUE(Renderer::cursorPreview(CursorShape::arrow, 1e300, 2).isNull());
}
