#include "core/render/Filters.h"

#include "support/ModelBuilders.h"
#include "support/RenderFixtures.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace vorlix;
using Filters::FilterMode;
using Filters::FilterRequest;
using vorlix::test::filledRGBA;

namespace {

} // namespace

TEST(Filters, RequestsFollowKindStyleAndPanelScale)
{
    struct Case {
        AnnotationKind kind;
        double intensity;
        bool random, asBlur;
        double pointsPerPixel;
        std::optional<FilterRequest> expected;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {AnnotationKind::blur, 12, true, false, 1, FilterRequest{FilterMode::blur, 12, false}},
        {AnnotationKind::pixelate, 12, true, false, 1, FilterRequest{FilterMode::pixelate, 12, true}},
        {AnnotationKind::pixelate, 12, false, false, 0.5, FilterRequest{FilterMode::pixelate, 24, false}},
        {AnnotationKind::pixelate, 12, true, true, 1, FilterRequest{FilterMode::blur, 12, false}},
        // Panel scale 0.5 with 2 pixels per point: 4 image pixels per canvas point.
        {AnnotationKind::pixelate, 10, false, false, 0.25, FilterRequest{FilterMode::pixelate, 40, false}},
        {AnnotationKind::pixelate, 0, false, false, 1, FilterRequest{FilterMode::pixelate, 1, false}},
        {AnnotationKind::blur, 0, false, false, 1, FilterRequest{FilterMode::blur, 1, false}},
        {AnnotationKind::blur, nan, false, false, 1, FilterRequest{FilterMode::blur, 1, false}},
        {AnnotationKind::blur, 1, false, false, 0, FilterRequest{FilterMode::blur, 10000, false}},
        {AnnotationKind::rectangle, 12, false, false, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << enumText(c.kind) << " " << c.intensity << " " << c.pointsPerPixel);
        Style style;
        style.filterIntensity = c.intensity;
        style.pixelateRandom = c.random;
        style.pixelateAsBlur = c.asBlur;
        EXPECT_EQ(Filters::filterRequest(c.kind, style, c.pointsPerPixel), c.expected);
    }
}

TEST(Filters, ImageRegionsAreWholePixelsInsideTheImage)
{
    const Size image{100, 80};
    EXPECT_EQ(Filters::imageRegion({30.4, 20.6}, {10.5, 5.2}, image), Rect(10, 5, 21, 16));
    EXPECT_EQ(Filters::imageRegion({-20, -20}, {50, 200}, image), Rect(0, 0, 50, 80));
    EXPECT_EQ(Filters::imageRegion({120, 10}, {150, 40}, image), std::nullopt);
    EXPECT_EQ(Filters::imageRegion({100, 10}, {150, 40}, image), std::nullopt);
}

TEST(Filters, PixelateAveragesBlocksOnACeilingGrid)
{
    struct Case {
        int w, h;
        double block;
        int bw, bh;
    };
    const Case cases[] = {{10, 6, 4, 3, 2}, {10, 6, 100, 1, 1}, {7, 5, 1, 7, 5}, {9, 9, 2.5, 4, 4}, {5, 5, 0, 5, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " block " << c.block);
        const QImage blocks = Filters::pixelate(filledRGBA(c.w, c.h, 0xFF336699), c.block, false);
        EXPECT_EQ(blocks.size(), QSize(c.bw, c.bh));
        EXPECT_EQ(blocks.pixel(0, 0), 0xFF336699u);
    }

    // Exact averages: left block 0 and 100, right block 200 and 250.
    QImage image = filledRGBA(4, 1, 0xFF000000);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(100, 100, 100));
    image.setPixel(2, 0, qRgb(200, 200, 200));
    image.setPixel(3, 0, qRgb(250, 250, 250));
    const QImage blocks = Filters::pixelate(image, 2, false);
    EXPECT_EQ(blocks.pixel(0, 0), qRgb(50, 50, 50));
    EXPECT_EQ(blocks.pixel(1, 0), qRgb(225, 225, 225));
    // A block larger than the image: one pixel of its average colour.
    EXPECT_EQ(Filters::pixelate(image, 9, false).pixel(0, 0), qRgb(138, 138, 138));
}

TEST(Filters, NoiseIsSeededByTheGridSize)
{
    const QImage one = Filters::pixelate(filledRGBA(3, 3, qRgb(128, 128, 128)), 5, true);
    EXPECT_EQ(one.pixel(0, 0), qRgb(136, 136, 136));

    const QImage four = Filters::pixelate(filledRGBA(4, 4, qRgb(128, 128, 128)), 2, true);
    EXPECT_EQ(four.pixel(0, 0), qRgb(110, 110, 110));
    EXPECT_EQ(four.pixel(1, 0), qRgb(137, 137, 137));
    EXPECT_EQ(four.pixel(0, 1), qRgb(120, 120, 120));
    EXPECT_EQ(four.pixel(1, 1), qRgb(93, 93, 93));
}

TEST(Filters, NoiseKeepsChannelsWithinZeroAndAlpha)
{
    // Many blocks so that every offset occurs; the colours sit at the limits.
    for (const QRgb colour :
         {qRgba(255, 255, 255, 255), qRgba(0, 0, 0, 255), qRgba(120, 60, 0, 128), qRgba(0, 0, 0, 0)}) {
        SCOPED_TRACE(testing::Message() << std::hex << colour);
        QImage image(40, 40, QImage::Format_RGBA8888_Premultiplied);
        for (int y = 0; y < 40; ++y) {
            std::uint8_t* p = image.scanLine(y);
            for (int x = 0; x < 40; ++x, p += 4) {
                p[0] = static_cast<std::uint8_t>(qRed(colour));
                p[1] = static_cast<std::uint8_t>(qGreen(colour));
                p[2] = static_cast<std::uint8_t>(qBlue(colour));
                p[3] = static_cast<std::uint8_t>(qAlpha(colour));
            }
        }
        const QImage blocks = Filters::pixelate(image, 1, true);
        bool changed = false;
        for (int y = 0; y < blocks.height(); ++y) {
            const std::uint8_t* p = blocks.constScanLine(y);
            for (int x = 0; x < blocks.width(); ++x, p += 4) {
                ASSERT_EQ(p[3], qAlpha(colour));
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(p[c], p[3]);
                changed = changed || p[0] != qRed(colour);
            }
        }
        EXPECT_EQ(changed, qAlpha(colour) > 0);
    }
}

TEST(Filters, RegionsOutsideTheImageGiveNothing)
{
    const QImage image = filledRGBA(20, 20, qRgb(1, 2, 3));
    EXPECT_TRUE(Filters::regionImage(image, Rect(30, 0, 5, 5), {}).isNull());
    EXPECT_TRUE(Filters::regionImage(QImage(), Rect(0, 0, 5, 5), {}).isNull());
}

TEST(Filters, PixelatedPiecesKeepHardBlockEdgesAndThePainterState)
{
    QImage piece(2, 1, QImage::Format_RGBA8888_Premultiplied);
    piece.setPixel(0, 0, qRgb(0, 0, 0));
    piece.setPixel(1, 0, qRgb(255, 255, 255));
    QImage canvas(60, 20, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(qRgb(0, 0, 255));
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Content space scaled by 2 onto the canvas; the clip cuts the right end.
    Filters::drawPiece(painter, piece, FilterMode::pixelate, Rect(0, 0, 36, 20), AffineTransform::scaling(2, 2),
                       Rect(0, 0, 20, 10));
    EXPECT_TRUE(painter.transform().isIdentity());
    EXPECT_FALSE(painter.hasClipping());
    EXPECT_TRUE(painter.testRenderHint(QPainter::SmoothPixmapTransform));
    painter.end();
    EXPECT_EQ(canvas.pixel(19, 10), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(20, 10), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(35, 19), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(36, 10), qRgb(0, 0, 255));
}

TEST(Filters, DarknessIsTheMedianLumaOfTheRegion)
{
    Panel panel;
    panel.imageID = test::uuid(3);
    panel.pixelSize = {200, 100};
    panel.pixelsPerPoint = 1;
    QImage halves = filledRGBA(200, 100, qRgb(0, 0, 0));
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            halves.setPixel(x, y, qRgb(255, 255, 255));
    const std::vector<Point> middle{{90, 50}, {110, 50}};

    struct Case {
        QImage image;
        std::optional<bool> dark;
    };
    const Case cases[] = {{filledRGBA(200, 100, qRgb(255, 255, 255)), false},
                          {filledRGBA(200, 100, qRgb(0, 0, 0)), true},
                          {filledRGBA(200, 100, qRgb(90, 90, 90)), true},
                          {halves, false}, // upper median of an even count: white
                          {QImage(), std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image.isNull() ? 0 : c.image.pixel(0, 0));
        EXPECT_EQ(Filters::isDark(middle, panel, c.image, 0), c.dark);
    }

    EXPECT_EQ(Filters::isDark({}, panel, halves, 0), std::nullopt);
    EXPECT_EQ(Filters::isDark({{500, 500}}, panel, halves, 4), std::nullopt);
    // Half the margin sideways: a wide one takes in the black three quarters.
    QImage quarter = filledRGBA(200, 100, qRgb(0, 0, 0));
    for (int y = 0; y < 100; ++y)
        for (int x = 150; x < 200; ++x)
            quarter.setPixel(x, y, qRgb(255, 255, 255));
    EXPECT_EQ(Filters::isDark({{175, 50}}, panel, quarter, 0), false);
    EXPECT_EQ(Filters::isDark({{175, 50}}, panel, quarter, 300), true);
}

TEST(Filters, RegionsAreCutFromEveryImageFormatAlike)
{
    // A gradient so that a misplaced crop shows; the piece equals the filtered crop.
    QImage gradient(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            gradient.setPixel(x, y, qRgba(x * 6, y * 8, 100, 255));
    const Rect region(7, 5, 20, 13);
    const FilterRequest requests[] = {{FilterMode::blur, 4, false}, {FilterMode::pixelate, 3, true}};
    for (const QImage::Format format : {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                        QImage::Format_RGB32, QImage::Format_RGBA8888_Premultiplied}) {
        const QImage image = gradient.convertToFormat(format);
        const QImage crop = image.copy(7, 5, 20, 13);
        for (const FilterRequest& r : requests) {
            SCOPED_TRACE(testing::Message() << format << " " << int(r.mode));
            const QImage piece = Filters::regionImage(image, region, r);
            const QImage expected =
                r.mode == FilterMode::blur ? Filters::blur(crop, r.amount) : Filters::pixelate(crop, r.amount, r.noise);
            EXPECT_EQ(piece.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
        }
    }
}
