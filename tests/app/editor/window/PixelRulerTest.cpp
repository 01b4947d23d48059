// The pixel rulers: the ticks and labels at several zooms and pixel densities, the pixel
// under the pointer, and the mark the ruler paints.

#include "app/editor/window/PixelRuler.h"
#include "app/support/AccentColor.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace vorlix;

TEST(PixelRulerScale, PixelUnderThePointerTruncatesTowardZero)
{
    const PixelRulerScale scale{.zero = 10, .pixelsPerPoint = 2};
    for (const auto& [canvas, pixel] : {std::pair{60.7, 101LL}, {9.9, 0LL}, {9.4, -1LL}, {10.0, 0LL}, {10.5, 1LL}}) {
        SCOPED_TRACE(canvas);
        EXPECT_EQ(scale.pixelAt(canvas), pixel);
    }
    EXPECT_EQ(scale.markText(60.7), QStringLiteral("101 px"));
}

// At every zoom and density: labels stand apart but no further than needed, ticks sit
// where their pixel starts, and a pointer just inside a labelled pixel reads that label.
TEST(PixelRulerScale, TicksAndPointerAgreeAtEveryZoom)
{
    constexpr double length = 700;
    for (const double magnification : {0.5, 1.0, 2.0, 3.7}) {
        for (const double ppp : {1.0, 2.0}) {
            SCOPED_TRACE(testing::Message() << "magnification " << magnification << ", ppp " << ppp);
            // The image starts 120 screen points into the ruler: negative pixels before it.
            const PixelRulerScale scale{.zero = 40,
                                        .pixelsPerPoint = ppp,
                                        .magnification = magnification,
                                        .visibleStart = 40 - 120 / magnification};
            const double screenPerPixel = magnification / ppp;
            const long long label = scale.labelStep();
            EXPECT_GE(label * screenPerPixel, PixelRulerScale::minimumLabelSpacing);
            const std::vector<long long> steps = scale.tickSteps();
            ASSERT_EQ(steps.front(), label);
            for (std::size_t i = 1; i < steps.size(); ++i) {
                EXPECT_EQ(steps[i - 1] % steps[i], 0);
                EXPECT_GE(steps[i] * screenPerPixel, PixelRulerScale::minimumTickSpacing);
            }

            const std::vector<RulerTick> ticks = scale.ticks(length);
            ASSERT_FALSE(ticks.empty());
            EXPECT_GE(ticks.front().position, 0);
            EXPECT_LE(ticks.back().position, length);
            int labelled = 0;
            bool sawZero = false;
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                const RulerTick& tick = ticks[i];
                EXPECT_NEAR(tick.position, 120 + double(tick.pixel) * screenPerPixel, 1e-9);
                if (i > 0) {
                    EXPECT_NEAR(tick.position - ticks[i - 1].position, double(steps.back()) * screenPerPixel, 1e-9);
                }
                EXPECT_EQ(tick.level == 0, tick.pixel % label == 0) << tick.pixel;
                if (tick.level != 0)
                    continue;
                ++labelled;
                sawZero = sawZero || tick.pixel == 0;
                // Half a pixel away from zero beyond the tick.
                const double halfPixel = (tick.pixel < 0 ? -0.5 : 0.5) * screenPerPixel;
                EXPECT_EQ(scale.pixelAt(scale.canvasCoordinate(tick.position + halfPixel)), tick.pixel);
            }
            EXPECT_TRUE(sawZero);
            EXPECT_GE(labelled, 3);
        }
    }
}

TEST(PixelRulerScale, LadderOfSteps)
{
    struct Case {
        double magnification;
        double ppp;
        std::vector<long long> steps;
    };
    const Case cases[] = {
        {1, 1, {100, 20, 10}}, // 100 screen points per label, ticks every 10
        {0.5, 2, {200, 100, 20}},    {8, 1, {10, 2, 1}}, {8, 2, {20, 10, 2}}, // three levels at most
        {0.05, 1, {1000, 200, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.magnification << " / " << c.ppp);
        EXPECT_EQ((PixelRulerScale{.pixelsPerPoint = c.ppp, .magnification = c.magnification}.tickSteps()), c.steps);
    }
}

TEST(PixelRulerScale, MarkLabelFlipsBeforeTheEnd)
{
    EXPECT_EQ(markLabelStart(100, 40, 400), 103);
    EXPECT_EQ(markLabelStart(357, 40, 400), 360);
    EXPECT_EQ(markLabelStart(358, 40, 400), 315);
}

namespace {

QImage render(PixelRuler& ruler)
{
    QImage image(ruler.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    ruler.render(&image);
    return image;
}

bool isAccent(QColor color)
{
    const QColor accent = vorlixAccent();
    return std::abs(color.red() - accent.red()) < 8 && std::abs(color.green() - accent.green()) < 8 &&
           std::abs(color.blue() - accent.blue()) < 8;
}

} // namespace

TEST(PixelRuler, PaintsTheMarkAtThePointer)
{
    PixelRuler ruler(Qt::Horizontal);
    ruler.resize(400, PixelRuler::thickness);
    ruler.setScale({.zero = 10, .pixelsPerPoint = 2, .magnification = 2, .visibleStart = 0});
    EXPECT_FALSE(ruler.markText());
    EXPECT_FALSE(isAccent(render(ruler).pixelColor(100, 0)));

    ruler.setPointer(50.25); // ruler position 100.5
    EXPECT_EQ(ruler.markText(), QStringLiteral("80 px"));
    QImage image = render(ruler);
    const int middle = PixelRuler::thickness / 2;
    EXPECT_TRUE(isAccent(image.pixelColor(100, 0)));
    EXPECT_TRUE(isAccent(image.pixelColor(106, middle))) << "the pill after the line";
    EXPECT_FALSE(isAccent(image.pixelColor(95, middle)));

    ruler.setPointer(195.25); // 390.5: the pill goes before the line
    image = render(ruler);
    EXPECT_TRUE(isAccent(image.pixelColor(390, 0)));
    EXPECT_TRUE(isAccent(image.pixelColor(384, middle)));
    EXPECT_FALSE(isAccent(image.pixelColor(396, middle)));
}

TEST(PixelRuler, VerticalMarkRunsAcross)
{
    PixelRuler ruler(Qt::Vertical);
    ruler.resize(PixelRuler::thickness, 300);
    ruler.setScale({.zero = 0, .pixelsPerPoint = 1, .magnification = 1, .visibleStart = -20});
    ruler.setPointer(30.5); // ruler position 50.5
    EXPECT_EQ(ruler.markText(), QStringLiteral("30 px"));
    const QImage image = render(ruler);
    EXPECT_TRUE(isAccent(image.pixelColor(0, 50)));
    EXPECT_TRUE(isAccent(image.pixelColor(PixelRuler::thickness / 2, 56))) << "the turned pill below the line";
}
