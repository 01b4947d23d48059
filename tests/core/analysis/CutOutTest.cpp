#include "core/analysis/CutOut.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <array>
#include <cmath>
#include <limits>

using namespace vorlix;
using CutOut::Hole;

namespace {

const QColor white(255, 255, 255);
const QColor black(0, 0, 0);

// Non-premultiplied ARGB32, whose bytes lie in another order than the result's.
QImage filled(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

void paint(QImage& image, const QRect& rect, const QColor& colour)
{
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect, colour);
}

// Red, green, blue and alpha bytes of a result pixel (premultiplied).
std::array<int, 4> bytesAt(const QImage& image, int x, int y)
{
    const std::uint8_t* p = image.constScanLine(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

// The un-premultiplied colour of a result pixel.
std::array<double, 3> colourAt(const QImage& image, int x, int y)
{
    const auto b = bytesAt(image, x, y);
    return {255.0 * b[0] / b[3], 255.0 * b[1] / b[3], 255.0 * b[2] / b[3]};
}

} // namespace

TEST(CutOut, RefusesTinyImagesAndRemovalsThatLeaveNothing)
{
    EXPECT_FALSE(CutOut::removeBackground(filled(3, 3, white), 0.12, {}));
    EXPECT_FALSE(CutOut::removeBackground(filled(2, 100, white), 0.12, {}));
    EXPECT_FALSE(CutOut::removeBackground(filled(100, 2, white), 0.12, {}));
    EXPECT_FALSE(CutOut::removeBackground(QImage(), 0.12, {}));

    QImage dot = filled(3, 3, white);
    dot.setPixelColor(1, 1, black);
    const auto kept = CutOut::removeBackground(dot, 0.12, {});
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->bounds, Rect(1, 1, 1, 1));
    EXPECT_EQ(kept->image.format(), QImage::Format_RGBA8888_Premultiplied);
}

TEST(CutOut, SimilarityFollowsTheSensitivity)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, int> thresholds[] = {{0.12, 696}, {0.5, 12100}, {1, 48400}, {2, 48400},
                                                 {0, 0},      {-1, 0},      {nan, 0}};
    for (const auto& [sensitivity, expected] : thresholds) {
        SCOPED_TRACE(sensitivity);
        EXPECT_EQ(CutOut::squaredThreshold(sensitivity), expected);
    }

    // A pixel off white by some levels in one channel, in the middle of a white image:
    // removed with the background when similar, the only pixel kept otherwise.
    struct Case {
        double sensitivity;
        int levels;
        bool kept;
    };
    const Case cases[] = {{0.12, 26, false}, {0.12, 27, true}, {0, 1, true}, {1, 220, false}, {1, 221, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sensitivity << " / " << c.levels << " levels");
        QImage image = filled(5, 5, QColor(255, 255, 255));
        image.setPixelColor(2, 2, QColor(255 - c.levels, 255, 255));
        const auto result = CutOut::removeBackground(image, c.sensitivity, {});
        EXPECT_EQ(result.has_value(), c.kept);
        if (result) {
            EXPECT_EQ(result->bounds, Rect(2, 2, 1, 1));
        }
    }
}

TEST(CutOut, ObjectComesBackCroppedWithSoftUnmixedEdges)
{
    // A red bar on white whose top row blends into the background by various amounts.
    const QColor red(200, 0, 0);
    QImage image = filled(12, 10, white);
    paint(image, QRect(3, 4, 6, 3), red);
    struct Case {
        int column;
        QColor colour;
        int alpha; // expected alpha byte, within 2
    };
    const Case cases[] = {
        {3, QColor(228, 128, 128), 127}, // half background: half opaque
        {4, QColor(201, 6, 6), 255},     // beyond 97 % of the way to the object: opaque as it is
        {5, QColor(241, 191, 191), 63},  // a quarter object
        {6, QColor(228, 128, 128), 127}, {7, QColor(228, 128, 128), 127}, {8, QColor(228, 128, 128), 127},
    };
    for (const Case& c : cases)
        image.setPixelColor(c.column, 3, c.colour);

    const auto result = CutOut::removeBackground(image, CutOut::defaultSensitivity, {});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->bounds, Rect(3, 3, 6, 4));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column);
        const auto bytes = bytesAt(result->image, c.column - 3, 0);
        EXPECT_NEAR(bytes[3], c.alpha, 2);
        if (c.alpha == 255) {
            EXPECT_EQ(bytes, (std::array<int, 4>{c.colour.red(), c.colour.green(), c.colour.blue(), 255}));
        } else {
            // The white mixed in is taken out again: what is left is the bar's red.
            const auto colour = colourAt(result->image, c.column - 3, 0);
            EXPECT_NEAR(colour[0], 200, 4);
            EXPECT_NEAR(colour[1], 0, 4);
            EXPECT_NEAR(colour[2], 0, 4);
        }
    }
    // The bar itself, its lower edge included, is copied unchanged.
    for (int y = 1; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(bytesAt(result->image, x, y), (std::array<int, 4>{200, 0, 0, 255})) << x << "," << y;
    }
}

TEST(CutOut, FillsReachOnlyColoursNearTheirOwnSeed)
{
    // Grey darkening by 2 levels per pixel from the border inwards: every step is tiny,
    // but only the first 8 rings lie within 15 levels of the white border seeds.
    QImage image = filled(41, 41, white);
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 41; ++x) {
            const int depth = std::min({x, y, 40 - x, 40 - y});
            const int v = 255 - 2 * depth;
            image.setPixelColor(x, y, QColor(v, v, v));
        }
    }
    const auto result = CutOut::removeBackground(image, CutOut::defaultSensitivity, {});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->bounds, Rect(8, 8, 25, 25));
}

TEST(CutOut, HolesRemoveEnclosedBackground)
{
    // A black block with two white windows the border fills cannot reach.
    QImage image = filled(20, 12, white);
    paint(image, QRect(2, 2, 16, 8), black);
    paint(image, QRect(5, 4, 3, 4), white);
    paint(image, QRect(12, 4, 3, 4), white);
    const auto plain = CutOut::removeBackground(image, CutOut::defaultSensitivity, {});
    ASSERT_TRUE(plain);
    ASSERT_EQ(plain->bounds, Rect(2, 2, 16, 8));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        std::vector<Hole> holes;
        bool firstWindowOpen;
        bool secondWindowOpen;
    };
    const Case cases[] = {
        {"connected, fractions cut off", {{{6.9, 5.9}, false}}, true, false},
        {"everywhere", {{{6, 5}, true}}, true, true},
        {"both in turn", {{{6, 5}, false}, {{13, 5}, false}}, true, true},
        {"on removed background", {{{0, 0}, false}, {{1, 1}, false}}, false, false},
        {"outside or not a position",
         {{{-1, 5}, true}, {{20, 0}, true}, {{0, 12}, true}, {{nan, 5}, true}, {{1e300, 1}, true}, {{-inf, 1}, true}},
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = CutOut::removeBackground(image, CutOut::defaultSensitivity, c.holes);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->bounds, plain->bounds);
        EXPECT_EQ(bytesAt(result->image, 4, 3)[3], c.firstWindowOpen ? 0 : 255);
        EXPECT_EQ(bytesAt(result->image, 11, 3)[3], c.secondWindowOpen ? 0 : 255);
        // The black block is untouched.
        EXPECT_EQ(bytesAt(result->image, 0, 0), (std::array<int, 4>{0, 0, 0, 255}));
        if (!c.firstWindowOpen && !c.secondWindowOpen) {
            EXPECT_EQ(result->image, plain->image);
        }
    }

    // Removing the object's own colour everywhere leaves the windows alone.
    const auto windows = CutOut::removeBackground(image, CutOut::defaultSensitivity, {{{3, 3}, true}});
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->bounds, Rect(5, 4, 10, 4));
    EXPECT_EQ(bytesAt(windows->image, 5, 0)[3], 0);

    EXPECT_EQ(std::hash<Hole>{}(Hole{{0.0, 2}, true}), std::hash<Hole>{}(Hole{{-0.0, 2}, true}));
}

TEST(CutOut, EdgePixelsWithoutAClearObjectNeighbourhood)
{
    // A lone red pixel has no object neighbour: black stands for the object, so red
    // reads as two thirds of the way from white to black.
    QImage lone = filled(5, 5, white);
    lone.setPixelColor(2, 2, QColor(255, 0, 0));
    const auto loneResult = CutOut::removeBackground(lone, CutOut::defaultSensitivity, {});
    ASSERT_TRUE(loneResult);
    const auto bytes = bytesAt(loneResult->image, 0, 0);
    EXPECT_NEAR(bytes[0], 170, 1);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_NEAR(bytes[3], 170, 1);

    // An object less than 4 levels from the background keeps full opacity at its edge,
    // although its edge lies between background and object colour.
    QImage faint = filled(7, 7, white);
    paint(faint, QRect(2, 2, 3, 3), QColor(253, 255, 255));
    faint.setPixelColor(3, 3, QColor(252, 255, 255));
    const auto faintResult = CutOut::removeBackground(faint, 0, {});
    ASSERT_TRUE(faintResult);
    EXPECT_EQ(faintResult->bounds, Rect(2, 2, 3, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const int red = x == 1 && y == 1 ? 252 : 253;
            EXPECT_EQ(bytesAt(faintResult->image, x, y), (std::array<int, 4>{red, 255, 255, 255})) << x << "," << y;
        }
    }
}

TEST(CutOut, TransparencyIsFlattenedOntoBlack)
{
    QImage image(6, 6, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    paint(image, QRect(2, 2, 2, 2), white);
    const auto result = CutOut::removeBackground(image, CutOut::defaultSensitivity, {});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->bounds, Rect(2, 2, 2, 2));
    EXPECT_EQ(bytesAt(result->image, 1, 1), (std::array<int, 4>{255, 255, 255, 255}));
}
