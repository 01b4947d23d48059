#include "core/render/Halo.h"

#include "support/DrawingTestSupport.h"

#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// Two rings of 16 shifts, as the outlined shapes use.
std::vector<QPointF> rings(double w)
{
    std::vector<QPointF> shifts;
    for (const double d : {w * 0.5, w})
        for (int k = 0; k < 16; ++k)
            shifts.emplace_back(d * std::cos(k * std::numbers::pi / 8), d * std::sin(k * std::numbers::pi / 8));
    return shifts;
}

void strokeFigure(QPainter& p)
{
    QPainterPath path;
    path.moveTo(12.3, 40.6);
    path.cubicTo(30, 5, 60, 5, 70.2, 44.1);
    path.addRoundedRect(QRectF(20.4, 50.2, 40.5, 20.3), 5, 5);
    p.strokePath(path, QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// The same union drawn the plain way: each shifted copy, then the colour over all.
QImage plainHalo(const QTransform& view, const std::vector<QPointF>& shifts, QColor color)
{
    QImage copies = canvasImage(200, 200, Qt::transparent);
    QPainter p(&copies);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(view);
    for (const QPointF& s : shifts) {
        p.save();
        p.translate(s);
        strokeFigure(p);
        p.restore();
    }
    p.resetTransform();
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(copies.rect(), color);
    return copies;
}

} // namespace

TEST(Halo, MatchesTheShiftedCopiesDrawnOneByOne)
{
    struct Case {
        const char* name;
        QTransform view;
        double width;
    };
    const Case cases[] = {
        {"points", QTransform(), 1.5},
        {"density 2", QTransform::fromScale(2, 2), 4},
        {"turned and zoomed", QTransform().translate(100, 0).rotate(30).scale(1.7, 1.7), 3},
        // Shifts of 80 device pixels: copies drawn one by one.
        {"far shifts", QTransform::fromScale(2, 2), 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<QPointF> shifts = rings(c.width);
        const QImage expected = plainHalo(c.view, shifts, Qt::black);
        QImage actual = canvasImage(200, 200, Qt::transparent);
        QPainter p(&actual);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(c.view);
        drawHalo(p, QRectF(0, 0, 85, 85).adjusted(-c.width - 4, -c.width - 4, c.width + 4, c.width + 4), shifts,
                 {0, 0, 0, 1}, strokeFigure);
        p.end();
        // Shifts are rounded to half pixels: edges may move by a fraction of a pixel.
        long long ink = 0;
        long long off = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                const int a = qAlpha(actual.pixel(x, y));
                const int e = qAlpha(expected.pixel(x, y));
                ink += e > 128;
                off += std::abs(a - e) > 64;
                ASSERT_EQ(actual.pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
            }
        EXPECT_GT(ink, 1000);
        EXPECT_LT(double(off) / double(ink), 0.03);
    }
}

TEST(Halo, StaysInsideTheClipAndLeavesThePainterAsItWas)
{
    QImage image = canvasImage(100, 100, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(QRect(0, 0, 40, 100));
    p.setOpacity(0.5);
    const QTransform before = p.transform();
    drawHalo(p, QRectF(0, 0, 100, 100), rings(3), {0, 0, 1, 1}, strokeFigure);
    EXPECT_EQ(p.transform(), before);
    EXPECT_EQ(p.opacity(), 0.5);
    EXPECT_EQ(p.clipBoundingRect(), QRectF(0, 0, 40, 100));
    p.end();
    // Half-strength blue inside the clip, untouched white beyond it.
    EXPECT_LE(channelDistance(image.pixelColor(12, 40), QColor(128, 128, 255)), 3);
    EXPECT_EQ(inkBox(image, [](QColor c) { return c != Qt::white; }).right(), 39);
}
