#include "core/render/Shadow.h"

#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

// A white canvas of `size` canvas points drawn at `scale` device pixels per point,
// with a blue 40-point square at (30, 30) casting `shadow`.
QImage squareWithShadow(const Shadow& shadow, double scale, QRectF clip = QRectF(0, 0, 100, 120))
{
    QImage image(static_cast<int>(100 * scale), static_cast<int>(120 * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setClipRect(clip);
    drawWithShadow(painter, shadow, QRectF(30, 30, 40, 40),
                   [](QPainter& p) { p.fillRect(QRectF(30, 30, 40, 40), Qt::blue); });
    EXPECT_EQ(painter.transform(), QTransform::fromScale(scale, scale)); // state restored
    return image;
}

int grey(const QImage& image, double x, double y, double scale)
{
    return qGray(image.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)));
}

} // namespace

TEST(Shadow, FallsBelowTheShapeAndScalesWithTheDevice)
{
    const Shadow panel{{0, 6}, 22, RGBAColor{0, 0, 0, 0.35}};
    for (const double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage image = squareWithShadow(panel, scale);
        EXPECT_EQ(image.pixel(static_cast<int>(50 * scale), static_cast<int>(50 * scale)), qRgb(0, 0, 255));
        // Darker below than above, at the same distance from the square.
        EXPECT_LT(grey(image, 50, 76, scale), grey(image, 50, 24, scale) - 10);
        EXPECT_LT(grey(image, 50, 76, scale), 230);
        // Beyond the blur's reach nothing changes.
        EXPECT_EQ(grey(image, 50, 115, scale), 255);
        EXPECT_EQ(grey(image, 2, 50, scale), 255);
    }
    // In canvas points the picture is the same at both densities.
    const QImage one = squareWithShadow(panel, 1);
    const QImage two = squareWithShadow(panel, 2);
    for (const double y : {72.0, 76.0, 84.0, 95.0})
        EXPECT_NEAR(grey(one, 50, y, 1), grey(two, 50, y, 2), 4) << y;
}

TEST(Shadow, WithoutBlurItIsTheShapeMovedByTheOffset)
{
    const QImage image = squareWithShadow({{3, 5}, 0, RGBAColor{1, 0, 0, 1}}, 1);
    EXPECT_EQ(image.pixel(71, 74), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(72, 74), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(73, 74), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(71, 75), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(69, 69), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(31, 31), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(32, 72), qRgb(255, 255, 255));
}

TEST(Shadow, StaysInsideTheClip)
{
    const QImage image = squareWithShadow({{0, 6}, 10, RGBAColor{0, 0, 0, 1}}, 1, QRectF(0, 0, 100, 72));
    EXPECT_LT(qGray(image.pixel(50, 71)), 200);
    EXPECT_EQ(image.pixel(50, 73), qRgb(255, 255, 255));
}

TEST(PathShadow, KeptPictureMatchesTheShadowDrawnAfresh)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(10.3, 12.7, 40, 25), 6, 6);
    const Shadow look{{0, 2}, 6, {0, 0, 0, 0.28}};
    const QColor fill(255, 255, 255, 200);
    // The first draw computes the picture, the next ones (moved by whole pixels, then
    // under a clip) reuse it; a fractional move makes a new one.
    const QPointF moves[] = {{0.4, 0.25}, {7.4, 3.25}, {7.4, 3.25}, {2.9, 1.0}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto paint = [&](bool kept) {
            QImage image(90, 80, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            if (i == 2)
                p.setClipRect(QRect(0, 0, 30, 80));
            p.translate(moves[i]);
            if (kept)
                drawPathShadow(p, look, path, fill);
            else
                drawShadow(p, look, path.boundingRect(), [&](QPainter& q) {
                    q.setPen(Qt::NoPen);
                    q.setBrush(fill);
                    q.drawPath(path);
                });
            return image;
        };
        const QImage kept = paint(true);
        const QImage fresh = paint(false);
        ASSERT_EQ(kept, fresh);
    }
}
