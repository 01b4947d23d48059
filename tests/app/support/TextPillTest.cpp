#include "app/support/TextPill.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

QFont testFont()
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(11);
    return font;
}

} // namespace

TEST(TextPill, SizeIsTheTextPlusTwiceThePadding)
{
    const TextPill pill = TextPill::make(u"128 px"_s, testFont(), Qt::white, {6, 2}, Qt::black);
    const QSizeF text = QFontMetricsF(testFont()).size(0, u"128 px"_s);
    EXPECT_DOUBLE_EQ(pill.size.width(), text.width() + 12);
    EXPECT_DOUBLE_EQ(pill.size.height(), text.height() + 4);
}

TEST(TextPill, CornersAreRoundedByTheRadiusOrHalfTheHeight)
{
    struct Case {
        std::optional<double> radius;
        double expected;
        bool cornerPixelFilled;
    };
    const Case cases[] = {
        {std::nullopt, 10, false}, // (1, 1) lies outside a 10-point corner
        {3.0, 3, true},
        {0.0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TextPill pill{.size = {60, 20},
                      .text = {},
                      .font = testFont(),
                      .textColor = Qt::white,
                      .padding = {4, 2},
                      .fill = Qt::red,
                      .radius = c.radius};
        EXPECT_DOUBLE_EQ(pill.cornerRadius(), c.expected);

        QImage image(80, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        pill.draw(painter, {10, 10});
        painter.end();
        EXPECT_EQ(qAlpha(image.pixel(11, 11)) > 128, c.cornerPixelFilled);
        EXPECT_EQ(image.pixelColor(40, 11), QColor(Qt::red)) << "the top edge between the corners";
        EXPECT_EQ(qAlpha(image.pixel(9, 20)), 0) << "nothing left of the origin";
        EXPECT_EQ(qAlpha(image.pixel(71, 20)), 0) << "nothing past the size";
    }
}

TEST(TextPill, TextIsDrawnInsideThePadding)
{
    const TextPill pill = TextPill::make(u"WWW"_s, testFont(), Qt::white, {8, 4}, Qt::black, 0.0);
    QImage image(pill.size.toSize() + QSize(20, 20), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    pill.draw(painter, {10, 10});
    painter.end();

    QRect whitePixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qRed(image.pixel(x, y)) > 128)
                whitePixels |= QRect(x, y, 1, 1);
    ASSERT_FALSE(whitePixels.isEmpty());
    EXPECT_GE(whitePixels.left(), 18);
    EXPECT_GE(whitePixels.top(), 14);
    EXPECT_LE(whitePixels.right(), 10 + pill.size.width() - 8);
}
