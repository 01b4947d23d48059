#include "core/render/Layer.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

QImage canvas(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

} // namespace

TEST(Layer, OpacityAppliesToTheGroupNotToEachShape)
{
    QImage target = canvas(40, 20, Qt::white);
    QPainter painter(&target);
    {
        Layer layer(painter, QRectF(0, 0, 40, 20), 0.5);
        layer.painter().fillRect(QRectF(0, 0, 25, 20), Qt::red);
        layer.painter().fillRect(QRectF(15, 0, 25, 20), Qt::red);
    }
    painter.end();
    // The overlap is no darker than either shape alone.
    EXPECT_EQ(target.pixel(20, 10), target.pixel(5, 10));
    EXPECT_EQ(target.pixel(20, 10), target.pixel(35, 10));
    EXPECT_NEAR(qGreen(target.pixel(20, 10)), 128, 1);
}

TEST(Layer, ClearedHolesShowWhatLiesUnderneath)
{
    QImage target = canvas(30, 30, Qt::blue);
    QPainter painter(&target);
    {
        Layer dim(painter, std::nullopt);
        QPainter& p = dim.painter();
        p.fillRect(QRectF(0, 0, 30, 30), QColor(0, 0, 0, 128));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(QRectF(10, 10, 10, 10), Qt::black);
    }
    painter.end();
    EXPECT_EQ(target.pixel(15, 15), qRgb(0, 0, 255));
    EXPECT_NEAR(qBlue(target.pixel(2, 2)), 127, 1);
}

TEST(Layer, NestedLayersMultiplyTheirOpacities)
{
    QImage target = canvas(10, 10, Qt::transparent);
    QPainter painter(&target);
    {
        Layer outer(painter, std::nullopt, 0.5);
        Layer inner(outer.painter(), std::nullopt, 0.5);
        inner.painter().fillRect(QRectF(0, 0, 10, 10), Qt::black);
        inner.end();
        outer.painter().fillRect(QRectF(5, 0, 5, 10), Qt::black);
    }
    painter.end();
    EXPECT_NEAR(qAlpha(target.pixel(2, 5)), 64, 1);
    EXPECT_NEAR(qAlpha(target.pixel(7, 5)), 128, 1);
}

TEST(Layer, WorksInDevicePixelsWithinClipAndBounds)
{
    // Two device pixels per logical one and a zoom of 2: a logical half-point
    // rectangle covers exactly two device pixels, sharp.
    QImage target = canvas(40, 40, Qt::white);
    target.setDevicePixelRatio(2);
    QPainter painter(&target);
    painter.scale(2, 2);
    painter.setClipRect(QRectF(0, 0, 5, 10));
    {
        Layer layer(painter, QRectF(1, 1, 8, 8));
        EXPECT_EQ(layer.deviceArea(), QRect(4, 4, 16, 32));
        layer.painter().fillRect(QRectF(1, 1, 0.5, 0.5), Qt::black);
        layer.painter().fillRect(QRectF(6, 1, 2, 2), Qt::black); // outside the clip
    }
    EXPECT_TRUE(painter.hasClipping());
    painter.end();
    EXPECT_EQ(target.pixel(3, 4), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(4, 4), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(6, 5), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(25, 5), qRgb(255, 255, 255));
}

TEST(Layer, EmptyAreasDiscardTheirDrawing)
{
    QImage target = canvas(10, 10, Qt::white);
    QPainter painter(&target);
    painter.setClipRect(QRectF(0, 0, 5, 5));
    Layer layer(painter, QRectF(6, 6, 3, 3));
    EXPECT_TRUE(layer.isEmpty());
    layer.painter().fillRect(QRectF(0, 0, 10, 10), Qt::black);
    layer.end();
    painter.end();
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 255, 255));
}
