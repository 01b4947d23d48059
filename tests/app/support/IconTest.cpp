#include "app/support/Icon.h"
#include "app/support/AppConfig.h"
#include "app/support/Icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace vorlix;

namespace {

// The icon drawn in opaque red into the square rect (pixels) of a transparent image.
QImage drawn(const Icon& icon, int imageSize, QRectF rect, QColor color = Qt::red)
{
    QImage image(imageSize, imageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.draw(painter, rect, color);
    return image;
}

int alphaAt(const QImage& image, QPointF pixel) { return qAlpha(image.pixel(int(pixel.x()), int(pixel.y()))); }

struct Spot {
    double x; // on the 24 grid
    double y;
    bool ink;
};

} // namespace

// Where the telling icons put their elements, on the 24 grid: each point is sampled at
// 24 px, at 48 px (doubled) and at 48 px from an offset origin.
TEST(Icon, ElementsLandWhereTheGridSaysAtEverySize)
{
    struct Case {
        const char* name;
        const Icon& icon;
        std::vector<Spot> spots;
    };
    const Case cases[] = {
        {"arrow",
         Icon::arrow(),
         {{4.5, 19.5, true}, {15.8, 8.2, true}, {19.2, 4.9, true}, {4.5, 4.5, false}, {19.5, 19.5, false}}},
        {"lineEndsDots",
         Icon::lineEndsDots(),
         {{12, 11.7, true}, {2.4, 12.2, true}, {21.6, 12.2, true}, {4, 10.3, true}, {12, 10.3, false}}},
        {"lineEndsPlain",
         Icon::lineEndsPlain(),
         {{12, 11.7, true}, {2.4, 12.2, false}, {21.6, 12.2, false}, {4, 10.3, false}}},
        {"strokeSolid",
         Icon::strokeSolid(),
         {{4.5, 11.7, true}, {7.5, 11.7, true}, {13.5, 11.7, true}, {19.5, 11.7, true}}},
        // Dashes of 3 on, 3 off from x = 3, each grown by the round cap's 0.6 at both ends.
        {"strokeDashed",
         Icon::strokeDashed(),
         {{4.5, 11.7, true},
          {10.5, 11.7, true},
          {16.5, 11.7, true},
          {7.5, 11.7, false},
          {13.5, 11.7, false},
          {19.5, 11.7, false},
          {10.5, 14, false}}},
        {"number", Icon::number(), {{12.4, 12.5, true}, {12.5, 3.6, true}, {14, 12.5, false}}},
    };
    struct Placement {
        int imageSize;
        QRectF rect;
    };
    const Placement placements[] = {{24, {0, 0, 24, 24}}, {48, {0, 0, 48, 48}}, {64, {8, 8, 48, 48}}};
    for (const Case& c : cases) {
        for (const Placement& placement : placements) {
            const QImage image = drawn(c.icon, placement.imageSize, placement.rect);
            const double scale = placement.rect.width() / 24;
            for (const Spot& spot : c.spots) {
                SCOPED_TRACE(testing::Message() << c.name << " in " << placement.rect.width() << " px at (" << spot.x
                                                << ", " << spot.y << ")");
                const int alpha = alphaAt(image, placement.rect.topLeft() + QPointF(spot.x, spot.y) * scale);
                if (spot.ink)
                    EXPECT_GE(alpha, 120);
                else
                    EXPECT_LE(alpha, 20);
            }
        }
    }
}

TEST(Icon, EveryIconIsMadeOnceAndStaysOnItsGrid)
{
    std::set<std::string> names;
    for (const Icon::Named& named : Icon::all()) {
        SCOPED_TRACE(named.name);
        names.insert(named.name);
        const Icon& icon = named.icon();
        EXPECT_EQ(&icon, &named.icon());
        ASSERT_FALSE(icon.elements.empty());

        // Drawn at 2 px per unit from (8, 8): ink, and none outside the grid's square.
        const QImage image = drawn(icon, 64, {8, 8, 48, 48});
        int inked = 0;
        int outside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) == 0)
                    continue;
                ++inked;
                if (x < 8 || y < 8 || x >= 56 || y >= 56)
                    ++outside;
            }
        }
        EXPECT_GT(inked, 40);
        EXPECT_EQ(outside, 0);
    }
    EXPECT_EQ(names.size(), 40u);
}

TEST(Icon, EachToolHasTheIconOfItsNameAndSelectTheHand)
{
    for (Tool tool : allTools()) {
        SCOPED_TRACE(rawValue(tool).toStdString());
        const std::string name = tool == Tool::select ? "hand" : rawValue(tool).toStdString();
        const auto named =
            std::find_if(Icon::all().begin(), Icon::all().end(), [&](const Icon::Named& n) { return n.name == name; });
        ASSERT_NE(named, Icon::all().end());
        EXPECT_EQ(&Icon::forTool(tool), &named->icon());
    }
}

TEST(Icon, ElementKindsTakeTheirColours)
{
    const QPainterPath square = [] {
        QPainterPath path;
        path.addRect(8, 8, 8, 8);
        return path;
    }();
    struct Case {
        const char* name;
        Icon::Element element;
        QPointF spot; // on the grid
        QColor expected;
    };
    const QColor icon(0, 0, 255, 200);
    const Case cases[] = {
        {"fill", Icon::Fill{square}, {12, 12}, icon},
        {"fillColor", Icon::FillColor{square, QColor(0, 255, 0)}, {12, 12}, QColor(0, 255, 0)},
        {"fillTinted", Icon::FillTinted{square, 0.5}, {12, 12}, QColor(0, 0, 255, 100)},
        {"fillAndStroke inside", Icon::FillAndStroke{square, 4}, {12, 12}, icon},
        {"fillAndStroke outline", Icon::FillAndStroke{square, 4}, {7, 12}, icon},
        {"stroke", Icon::Stroke{square, std::nullopt, 0.5}, {8, 12}, QColor(0, 0, 255, 100)},
        {"stroke inside", Icon::Stroke{square, std::nullopt, 1}, {12, 12}, QColor(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = drawn(Icon{.elements = {c.element}}, 48, {0, 0, 48, 48}, icon);
        const QColor actual = image.pixelColor((c.spot * 2).toPoint());
        EXPECT_NEAR(actual.alpha(), c.expected.alpha(), 3);
        if (c.expected.alpha() > 0) {
            EXPECT_EQ(actual.red(), c.expected.red());
            EXPECT_EQ(actual.green(), c.expected.green());
            EXPECT_EQ(actual.blue(), c.expected.blue());
        }
    }
}

TEST(Icon, DrawingLeavesThePainterAsItWasAndNeedsAnActivePainter)
{
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    painter.setPen(pen);
    Icon::strokeDashed().draw(painter, {0, 0, 24, 24}, Qt::black);
    EXPECT_TRUE(painter.transform().isIdentity());
    EXPECT_EQ(painter.pen(), pen);
    painter.end();

    QPainter inactive;
    Icon::arrow().draw(inactive, {0, 0, 24, 24}, Qt::black); // nothing to draw on, no crash
}

TEST(Icon, TemplateImageIsABlackMaskAtEveryPixelRatio)
{
    const QIcon icon = Icon::lineEndsDots().templateImage(QSize(24, 24));
    EXPECT_TRUE(icon.isMask());
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(24, 24)});

    struct Case {
        qreal ratio;
        QSize pixels;
    };
    for (const Case& c : {Case{1, {24, 24}}, Case{2, {48, 48}}, Case{1.5, {36, 36}}}) {
        SCOPED_TRACE(c.ratio);
        const QPixmap pixmap = icon.pixmap(QSize(24, 24), c.ratio);
        EXPECT_EQ(pixmap.size(), c.pixels);
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), c.ratio);
        const QImage image = pixmap.toImage();
        const QColor dot = image.pixelColor((QPointF(4, 12) * c.ratio).toPoint());
        EXPECT_EQ(dot.rgb(), QColor(Qt::black).rgb());
        EXPECT_GE(dot.alpha(), 200);
        EXPECT_EQ(image.pixelColor((QPointF(12, 4) * c.ratio).toPoint()).alpha(), 0);
    }
}

TEST(Icons, FallbackMenuBarIconIsAnEighteenPointMask)
{
    const QIcon icon = Icons::menuBarIcon();
    EXPECT_TRUE(icon.isMask());
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(18, 18)});
    EXPECT_TRUE(icon.name().isEmpty()); // a name would stand for the pixels on a status-notifier host
    EXPECT_EQ(Icons::menuBarIconDescription(), AppConfig::name());

    const QImage image = icon.pixmap(QSize(18, 18), 1.0).toImage();
    ASSERT_EQ(image.size(), QSize(18, 18));
    struct Case {
        QPoint pixel;
        bool ink;
    };
    const Case cases[] = {
        {{4, 2}, true},   // top-left corner mark, 2 wide around y = 2
        {{2, 4}, true},   //
        {{15, 13}, true}, // bottom-right corner mark
        {{9, 2}, false},  // between the top marks
        {{8, 10}, true},  // the pen stroke
        {{13, 13}, false}, {{5, 5}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixel.x() << ", " << c.pixel.y());
        const QColor color = image.pixelColor(c.pixel);
        if (c.ink) {
            EXPECT_GE(color.alpha(), 160);
            EXPECT_EQ(color.red(), 0);
        } else {
            EXPECT_LE(color.alpha(), 20);
        }
    }
}
