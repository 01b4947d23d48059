#include "core/render/AnnotationDrawing.h"

#include "core/shapes/CursorGeometry.h"
#include "core/shapes/PencilGeometry.h"
#include "core/shapes/QtConversions.h"
#include "core/shapes/ShapeGeometry.h"
#include "support/DrawingTestSupport.h"

#include <gtest/gtest.h>

#include <QPen>

#include <cmath>
#include <random>

using namespace vorlix;
using namespace vorlix::test;

namespace {

const RGBAColor blue{0, 0, 1, 1};
const RGBAColor yellow{1, 1, 0, 1};

bool isBackground(QColor c) { return c == QColor(Qt::white); }

int alphaAt(const QImage& image, int x, int y) { return image.pixelColor(x, y).alpha(); }

} // namespace

TEST(AnnotationDrawing, RectangleFillsFollowTheFillMode)
{
    struct Case {
        FillMode mode;
        QColor top;    // just inside the top edge
        QColor bottom; // just inside the bottom edge
    };
    // Blue on white: translucent is 30 % blue; the gradient runs from blue lightened by
    // 60 % (0.6, 0.6, 1) at the top to blue at the bottom.
    const Case cases[] = {
        {FillMode::none, QColor(255, 255, 255), QColor(255, 255, 255)},
        {FillMode::solid, QColor(0, 0, 255), QColor(0, 0, 255)},
        {FillMode::translucent, QColor(179, 179, 255), QColor(179, 179, 255)},
        {FillMode::gradient, QColor(150, 150, 255), QColor(5, 5, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << enumText(c.mode).data());
        const QImage image = rendered(makeShape(AnnotationKind::rectangle, {{10, 10}, {90, 110}},
                                                [&](Style& s) {
                                                    s.fillColor = blue;
                                                    s.fill = c.mode;
                                                    s.lineWidth = 0;
                                                }),
                                      100, 120);
        EXPECT_LE(channelDistance(image.pixelColor(50, 11), c.top), 6);
        EXPECT_LE(channelDistance(image.pixelColor(50, 108), c.bottom), 6);
        EXPECT_TRUE(isBackground(image.pixelColor(50, 5)));
    }
}

TEST(AnnotationDrawing, RectangleCornersAndDegenerateSides)
{
    const auto filled = [](Point a, Point b, double radius) {
        return makeShape(AnnotationKind::rectangle, {a, b}, [&](Style& s) {
            s.fill = FillMode::solid;
            s.fillColor = blue;
            s.cornerRadius = radius;
            s.lineWidth = 0;
        });
    };
    // A 40 × 10 rectangle asking for radius 50 gets 5 on both axes: a pixel 1.5 in from
    // the corner lies inside the circle of radius 5, but outside an ellipse of radii 20 × 5.
    const QImage rounded = rendered(filled({10, 10}, {50, 20}, 50), 60, 30);
    EXPECT_LE(channelDistance(rounded.pixelColor(11, 12), QColor(0, 0, 255)), 2);
    EXPECT_TRUE(isBackground(rounded.pixelColor(10, 10)));

    // Width 0, height 20: still stroked, as a vertical line.
    const QImage vertical = rendered(makeShape(AnnotationKind::rectangle, {{20, 5}, {20, 25}}), 40, 30);
    EXPECT_FALSE(isBackground(vertical.pixelColor(20, 15)));
    // Both sides 0: nothing at all.
    const QImage point = rendered(makeShape(AnnotationKind::rectangle, {{20, 15}, {20, 15}}), 40, 30);
    EXPECT_TRUE(inkBox(point, [](QColor c) { return !isBackground(c); }).isNull());
}

TEST(AnnotationDrawing, OpacityCompositesTheShapeOnceSoOverlapsAreNotDoubled)
{
    const CanvasShape shape = makeShape(AnnotationKind::rectangle, {{10, 10}, {50, 50}}, [](Style& s) {
        s.strokeColor = blue;
        s.fill = FillMode::solid;
        s.lineWidth = 6;
        s.opacity = 0.5;
    });
    const QImage image = rendered(shape, 60, 60);
    // The stroke lies over the fill along the edge, yet looks like the inside.
    EXPECT_LE(channelDistance(image.pixelColor(10, 30), image.pixelColor(30, 30)), 1);
    EXPECT_NEAR(image.pixelColor(30, 30).red(), 128, 2);
    EXPECT_EQ(image.pixelColor(30, 30).blue(), 255);
}

TEST(AnnotationDrawing, DashLengthsScaleWithTheLineWidth)
{
    // A horizontal line from x = 10 on a transparent canvas. Dashes are 3 and 2.2 line
    // widths long, but at least 3 and 2.2 points; round caps add half a width at both ends.
    struct Case {
        double width;
        std::vector<int> inked;
        std::vector<int> clear;
    };
    const Case cases[] = {
        {0.5, {11, 16}, {14}}, // dash 10-13, gap 13.25-14.95, next dash 15.2-18.2
        {1, {11, 16}, {14}},   // the same at width 1
        {4, {15, 35}, {26}},   // dash 10-22, gap 24-28.8, next dash 30.8-42.8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const CanvasShape line = makeShape(AnnotationKind::line, {{10, 20.5}, {190, 20.5}}, [&](Style& s) {
            s.lineWidth = c.width;
            s.dashed = true;
        });
        const QImage image = rendered(line, 200, 40, Qt::transparent);
        const int full = alphaAt(image, c.inked.front(), 20);
        EXPECT_GT(full, 60);
        for (int x : c.inked)
            EXPECT_GE(alphaAt(image, x, 20), full * 9 / 10) << x;
        for (int x : c.clear)
            EXPECT_LT(alphaAt(image, x, 20), full / 5) << x;
    }
}

TEST(AnnotationDrawing, LineBendsThroughItsThirdPointAndEndsInDots)
{
    const CanvasShape bent = makeShape(AnnotationKind::line, {{10, 50}, {90, 50}, {50, 20}});
    const QImage image = rendered(bent, 100, 60);
    EXPECT_FALSE(isBackground(image.pixelColor(50, 20)));
    EXPECT_TRUE(isBackground(image.pixelColor(50, 50)));

    // Width 1 gets dots of radius 3: ink 2 points beside the end, out of the line's reach.
    const CanvasShape dotted = makeShape(AnnotationKind::line, {{20, 30}, {80, 30}}, [](Style& s) {
        s.lineWidth = 1;
        s.lineDots = true;
    });
    const QImage dots = rendered(dotted, 100, 60);
    EXPECT_FALSE(isBackground(dots.pixelColor(20, 32)));
    EXPECT_FALSE(isBackground(dots.pixelColor(79, 27)));
    EXPECT_TRUE(isBackground(dots.pixelColor(50, 32)));
}

// Stroke outlines are kept between redraws: each redraw after a change of width, points
// or scale must show the change, never an outline kept from an earlier one.
TEST(AnnotationDrawing, RedrawsFollowChangesOfWidthPointsAndScale)
{
    const auto line = [](double endX, double width) {
        return makeShape(AnnotationKind::line, {{20, 30}, {endX, 30}}, [&](Style& s) { s.lineWidth = width; });
    };
    const auto box = [](const CanvasShape& shape, double scale) {
        QImage image = canvasImage(320, 120, Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.scale(scale, scale);
        Renderer::draw(painter, shape);
        painter.end();
        return inkBox(image, [](QColor c) { return !isBackground(c); });
    };
    for (int round = 0; round < 2; ++round) { // the second round meets kept outlines
        SCOPED_TRACE(round);
        const QRect thin = box(line(100, 4), 1);
        const QRect thick = box(line(100, 12), 1);
        const QRect longer = box(line(140, 12), 1);
        const QRect doubled = box(line(100, 12), 2);
        EXPECT_NEAR(thin.height(), 4, 2);
        EXPECT_NEAR(thick.height(), 12, 2);
        EXPECT_NEAR(longer.width() - thick.width(), 40, 1);
        EXPECT_NEAR(doubled.height(), 24, 2);
        EXPECT_NEAR(doubled.width(), 2 * thick.width(), 2);
    }
}

TEST(AnnotationDrawing, PencilOfOnePointLeavesARoundDot)
{
    const QImage image =
        rendered(makeShape(AnnotationKind::pencil, {{20, 20}}, [](Style& s) { s.lineWidth = 10; }), 40, 40);
    EXPECT_FALSE(isBackground(image.pixelColor(20, 20)));
    EXPECT_FALSE(isBackground(image.pixelColor(16, 20)));
    // Round, not square: the corner of the 10 × 10 square stays clear.
    EXPECT_TRUE(isBackground(image.pixelColor(24, 24)));
    EXPECT_TRUE(isBackground(image.pixelColor(15, 15)));
}

TEST(AnnotationDrawing, HighlighterStrokesTheFirstSegmentFlatWithTheGivenBlend)
{
    const QColor grey(180, 180, 180);
    const CanvasShape shape =
        makeShape(AnnotationKind::highlighter, {{10, 20}, {90, 20}, {90, 80}, {10, 80}, {50, 50}}, [](Style& s) {
            s.opacity = 1;
            s.strokeColor = yellow;
        });
    const QImage multiplied = rendered(shape, 100, 100, grey);
    // Yellow multiplied over grey: red and green kept, blue gone.
    EXPECT_LE(channelDistance(multiplied.pixelColor(50, 20), QColor(180, 180, 0)), 3);
    // Only the first segment; flat caps end exactly at the points.
    EXPECT_EQ(multiplied.pixelColor(90, 50), grey);
    EXPECT_EQ(multiplied.pixelColor(7, 20), grey);

    const QImage normal = rendered(shape, 100, 100, grey, std::nullopt, QPainter::CompositionMode_SourceOver);
    EXPECT_LE(channelDistance(normal.pixelColor(50, 20), QColor(255, 255, 0)), 3);

    // A pale colour is made vivid: saturation raised to 0.75 at the same brightness.
    const CanvasShape pale = makeShape(AnnotationKind::highlighter, {{10, 20}, {90, 20}}, [](Style& s) {
        s.opacity = 1;
        s.strokeColor = {1, 0.8, 0.8, 1};
    });
    const QColor vivid =
        rendered(pale, 100, 40, Qt::white, std::nullopt, QPainter::CompositionMode_SourceOver).pixelColor(50, 20);
    EXPECT_LE(channelDistance(vivid, QColor(255, 64, 64)), 3);
}

TEST(AnnotationDrawing, TextBoxColourContrastsWithTheText)
{
    struct Case {
        RGBAColor text;
        QColor box;
    };
    const Case cases[] = {{yellow, QColor(0x1C, 0x1C, 0x1E)}, {{0, 0, 0, 1}, QColor(Qt::white)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.hexString().toStdString());
        const CanvasShape shape = makeShape(
            AnnotationKind::text, {{10, 10}},
            [&](Style& s) {
                s.strokeColor = c.text;
                s.textBoxBorder = true;
                s.fill = FillMode::solid;
                s.fillColor.reset();
            },
            QStringLiteral("Hi"));
        const QImage image = rendered(shape, 120, 80, QColor(128, 128, 128));
        const Rect frame = shape.textFrame();
        // Inside the box, below the text's padding line and clear of the border.
        EXPECT_EQ(image.pixelColor(int(frame.maxX()) - 5, int(frame.maxY()) - 5), c.box);
        // The border is drawn in the text colour.
        EXPECT_LE(channelDistance(image.pixelColor(int(frame.midX()), int(frame.minY())), toQColor(c.text)), 40);
    }
}

TEST(AnnotationDrawing, CalloutIsOutlinedWithoutFillAndOnlyWithBorderWhenFilled)
{
    struct Case {
        FillMode fill;
        bool border;
        bool stroked;
    };
    const Case cases[] = {
        {FillMode::none, false, true}, {FillMode::solid, false, false}, {FillMode::solid, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << enumText(c.fill).data() << c.border);
        const CanvasShape shape = makeShape(AnnotationKind::callout, {{20, 20}, {60, 110}, {120, 70}}, [&](Style& s) {
            s.fill = c.fill;
            s.textBoxBorder = c.border;
            s.strokeColor = blue;
            s.fillColor = RGBAColor{1, 1, 0, 1};
            s.lineWidth = 2;
        });
        const QImage image = rendered(shape, 140, 130, Qt::white);
        const QColor edge = image.pixelColor(70, 20);
        EXPECT_EQ(edge.blue() > 200 && edge.red() < 60, c.stroked) << edge.name().toStdString();
        if (c.fill != FillMode::none) {
            EXPECT_EQ(image.pixelColor(70, 45), QColor(255, 255, 0));
            // The bubble's shadow falls below it.
            EXPECT_LT(image.pixelColor(100, 72).red(), 250);
        }
    }
}

TEST(AnnotationDrawing, NumberBadgeLabelIsCentredFittedAndContrasting)
{
    const Point c{40, 40};
    const auto badge = [&](RGBAColor colour) {
        return makeShape(AnnotationKind::number, {c}, [&](Style& s) { s.strokeColor = colour; });
    };
    // Nothing shows 1.
    EXPECT_EQ(rendered(badge(blue), 80, 80), rendered(badge(blue), 80, 80, Qt::white, 1));
    EXPECT_NE(rendered(badge(blue), 80, 80), rendered(badge(blue), 80, 80, Qt::white, 2));

    struct Case {
        long long number;
        RGBAColor colour;
        std::function<bool(QColor)> label;
    };
    const auto whiteInk = [](QColor p) { return p.red() > 128 && p.blue() > 128 && p.green() > 128; };
    const auto darkInk = [](QColor p) { return p.red() < 128; };
    const Case cases[] = {{4, blue, whiteInk}, {8888, blue, whiteInk}, {7, yellow, darkInk}};
    const double r = NumberGeometry::radius(badge(blue).style);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.number);
        QImage image = rendered(badge(k.colour), 80, 80, QColor(255, 0, 0), k.number);
        // Only inside the badge: the red background is neither label colour.
        const QRect ink = inkBox(image, [&](QColor p) { return p != QColor(255, 0, 0) && k.label(p); });
        ASSERT_FALSE(ink.isNull());
        EXPECT_NEAR(ink.left() + ink.width() / 2.0, c.x, 1.0);
        EXPECT_NEAR(ink.top() + ink.height() / 2.0, c.y, 1.0);
        EXPECT_LE(ink.width(), 1.5 * r + 2);
    }
}

TEST(AnnotationDrawing, StampIsDarkGreyAndCentredOnItsPoint)
{
    const CanvasShape stamp = makeShape(AnnotationKind::stamp, {{60, 40}}, {}, QStringLiteral("OK"));
    const QImage image = rendered(stamp, 120, 80);
    const QRect ink = inkBox(image, [](QColor p) { return p.red() < 200; });
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.left() + ink.width() / 2.0, 60, 2.5);
    int darkest = 255;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            darkest = std::min(darkest, image.pixelColor(x, y).red());
    EXPECT_NEAR(darkest, 38, 2);
}

TEST(AnnotationDrawing, ArrowHeadsByStyle)
{
    struct Case {
        ArrowHeadStyle head;
        bool insideInked;
        bool baseInked;
    };
    const Case cases[] = {{ArrowHeadStyle::filled, true, true},
                          {ArrowHeadStyle::open, false, false},
                          {ArrowHeadStyle::outline, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(enumText(c.head).data());
        const CanvasShape arrow = makeShape(AnnotationKind::arrow, {{20, 60}, {180, 60}}, [&](Style& s) {
            s.arrowHeadStyle = c.head;
            s.arrowDoubleHead = true;
            s.arrowHeadColor = blue;
        });
        const ArrowGeometry g(arrow.points, arrow.style);
        const QImage image = rendered(arrow, 200, 120);
        for (const std::vector<Point>& t : {g.headTriangle(), *g.startHeadTriangle()}) {
            // Halfway between the centroid and the far base corner, off the shaft.
            const Point centroid = (t[0] + t[1] + t[2]) * (1.0 / 3);
            const Point inside = (centroid + t[2]) * 0.5;
            const Point onBase = t[1] + (t[2] - t[1]) * 0.2;
            const QColor in = image.pixelColor(int(inside.x), int(inside.y));
            const QColor base = image.pixelColor(int(std::floor(onBase.x)), int(std::floor(onBase.y)));
            EXPECT_EQ(in.blue() > 200 && in.red() < 100, c.insideInked) << in.name().toStdString();
            EXPECT_EQ(!isBackground(base), c.baseInked) << base.name().toStdString();
        }
    }
}

TEST(AnnotationDrawing, ClickMarkRingLiesUnderTheCursor)
{
    const Point tip{50, 50};
    for (const bool mark : {false, true}) {
        SCOPED_TRACE(mark);
        const CanvasShape cursor = makeShape(AnnotationKind::cursor, {tip}, [&](Style& s) { s.clickMark = mark; });
        const QImage image = rendered(cursor, 100, 100);
        const double r = 0.55 * CursorGeometry::size(cursor.style);
        // Left of the tip, where the arrow does not reach: the ring's stroke.
        const QColor ring = image.pixelColor(int(tip.x - r), int(tip.y));
        EXPECT_EQ(ring.red() > 240 && ring.blue() < 150, mark) << ring.name().toStdString();
        // The cursor's dark body is drawn over the ring's fill.
        EXPECT_LT(image.pixelColor(int(tip.x) + 3, int(tip.y) + 8).red(), 60);
    }
}

TEST(AnnotationDrawing, MeasuringLineDrawsTicksAndALabelPill)
{
    CanvasShape line = makeShape(
        AnnotationKind::line, {{20, 60}, {180, 60}},
        [](Style& s) {
            s.showsMeasure = true;
            s.strokeColor = blue;
        },
        QStringLiteral("160 px"));
    const MeasureGeometry g = *MeasureGeometry::make(line);
    const QImage image = rendered(line, 200, 120);
    // The pill is filled with the line colour and carries white text.
    EXPECT_EQ(image.pixelColor(int(g.labelRect.minX()) + 2, int(g.labelRect.midY())), QColor(0, 0, 255));
    const QRect label = inkBox(image.copy(g.labelRect.toQt().toAlignedRect()), [](QColor p) { return p.red() > 200; });
    EXPECT_FALSE(label.isNull());
    // The ticks stand across the line's ends.
    EXPECT_EQ(image.pixelColor(20, 60 - 8), QColor(0, 0, 255));
}

TEST(AnnotationDrawing, EveryKindDrawsTheSameTwiceAndLeavesThePainterAsFound)
{
    const std::vector<CanvasShape> shapes = {
        makeShape(AnnotationKind::arrow, {{10, 10}, {150, 90}, {60, 20}}),
        makeShape(AnnotationKind::line, {{10, 90}, {150, 10}}, [](Style& s) { s.dashed = true; }),
        makeShape(AnnotationKind::ellipse, {{20, 20}, {140, 80}}, [](Style& s) { s.fill = FillMode::gradient; }),
        makeShape(AnnotationKind::pencil, {{10, 10}, {40, 60}, {80, 20}, {120, 70}}, [](Style& s) { s.opacity = 0.4; }),
        makeShape(AnnotationKind::highlighter, {{10, 50}, {150, 50}}),
        makeShape(
            AnnotationKind::text, {{10, 10}}, [](Style& s) { s.textOutline = true; }, QStringLiteral("Testo\nbordato")),
        makeShape(AnnotationKind::callout, {{20, 10}, {150, 90}}, {}, QStringLiteral("Nota")),
        makeShape(AnnotationKind::number, {{80, 50}}),
        makeShape(AnnotationKind::stamp, {{80, 50}}, {}, QStringLiteral("✓")),
        makeShape(AnnotationKind::cursor, {{80, 50}}),
        makeShape(AnnotationKind::rectangle, {{20, 20}, {140, 80}},
                  [](Style& s) {
                      s.shapeOutline = true;
                      s.opacity = 0.6;
                  }),
        makeShape(AnnotationKind::line, {{20, 20}, {140, 80}}, [](Style& s) { s.chalk = true; }),
    };
    for (const CanvasShape& shape : shapes) {
        SCOPED_TRACE(enumText(shape.kind).data());
        QImage first = canvasImage(160, 100);
        QImage second = canvasImage(160, 100);
        for (QImage* image : {&first, &second}) {
            QPainter painter(image);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.translate(0.5, 0.25);
            const QPen pen(Qt::green, 3);
            painter.setPen(pen);
            painter.setOpacity(0.9);
            Renderer::draw(painter, shape, 3);
            EXPECT_EQ(painter.transform(), QTransform::fromTranslate(0.5, 0.25));
            EXPECT_EQ(painter.pen(), pen);
            EXPECT_EQ(painter.opacity(), 0.9);
            EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
        }
        EXPECT_EQ(first, second);
        EXPECT_FALSE(inkBox(first, [](QColor c) { return !isBackground(c); }).isNull());
    }
}

TEST(AnnotationDrawing, MixedShapesMatchTheirPicture)
{
    const std::vector<CanvasShape> shapes = {
        makeShape(AnnotationKind::rectangle, {{20, 20}, {130, 90}},
                  [](Style& s) {
                      s.shapeOutline = true;
                      s.fill = FillMode::translucent;
                  }),
        makeShape(AnnotationKind::arrow, {{150, 30}, {280, 80}, {230, 20}}, [](Style& s) { s.strokeColor = blue; }),
        makeShape(AnnotationKind::line, {{20, 120}, {140, 180}},
                  [](Style& s) {
                      s.chalk = true;
                      s.lineWidth = 10;
                  }),
        makeShape(AnnotationKind::callout, {{160, 110}, {150, 190}, {280, 150}}, {}, QStringLiteral("Nota")),
        makeShape(AnnotationKind::number, {{60, 55}}),
        makeShape(
            AnnotationKind::text, {{170, 160}},
            [](Style& s) {
                s.textOutline = true;
                s.fontSize = 16;
            },
            QStringLiteral("Testo")),
    };
    QImage image = canvasImage(300, 200, QColor(210, 220, 230));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    long long n = 1;
    for (const CanvasShape& shape : shapes)
        Renderer::draw(painter, shape, n++);
    painter.end();
    // Text edges antialias differently between library versions: a wider tolerance.
    EXPECT_TRUE(matchesGolden(image, QStringLiteral("mixed-annotations"), {.channel = 12, .outliers = 240}));
}

TEST(AnnotationDrawing, LongPencilStrokesDrawLikeTheirStoredPoints)
{
    // 3,000 points of a handwritten loop, sampled far finer than a pixel: drawn at the
    // device's resolution and in pieces, it must look like the stroke through every point.
    std::vector<Point> points;
    for (int i = 0; i < 3000; ++i) {
        const double t = i * 0.0025;
        points.push_back({100 + 60 * std::cos(t) + 8 * std::sin(5 * t), 75 + 45 * std::sin(t)});
    }
    // Points move by at most a quarter of a device pixel, which changes the coverage of
    // an edge pixel by at most about 64 levels; dash ends may shift along the stroke a
    // little more, as the drawn path is a hair shorter.
    struct Case {
        const char* name;
        double scale;
        bool dashed;
        double alpha;
        int farOffPixels;
        int meanDifference;
    };
    const Case cases[] = {
        {"plain", 1, false, 1, 0, 8},
        {"zoomed", 2.5, false, 1, 0, 8},
        {"dashed", 1, true, 1, 80, 16},
        {"translucent colour", 1, false, 0.5, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CanvasShape shape = makeShape(AnnotationKind::pencil, points, [&](Style& s) {
            s.lineWidth = 5;
            s.dashed = c.dashed;
            s.strokeColor = blue.withAlpha(c.alpha);
        });
        const int w = static_cast<int>(200 * c.scale);
        const int h = static_cast<int>(150 * c.scale);
        QImage drawn = canvasImage(w, h);
        QImage reference = canvasImage(w, h);
        for (QImage* image : {&drawn, &reference}) {
            QPainter painter(image);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.scale(c.scale, c.scale);
            if (image == &drawn) {
                Renderer::draw(painter, shape);
            } else {
                QPen pen(QBrush(toQColor(shape.style.strokeColor)), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
                if (c.dashed)
                    pen.setDashPattern({3, 2.2});
                painter.strokePath(PencilGeometry::smoothPath(points), pen);
            }
        }
        int farOff = 0;
        long long difference = 0;
        int inked = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int d = channelDistance(drawn.pixelColor(x, y), reference.pixelColor(x, y));
                farOff += d > 80;
                difference += d;
                inked += !isBackground(reference.pixelColor(x, y));
            }
        }
        EXPECT_GT(inked, 1000);
        EXPECT_LE(farOff, c.farOffPixels);
        EXPECT_LT(difference, static_cast<long long>(inked) * c.meanDifference); // levels per inked pixel
    }
}

TEST(AnnotationDrawing, PencilOf90000PointsDraws)
{
    std::vector<Point> points;
    for (int i = 0; i < 90'000; ++i) {
        const double t = 2 * 3.141592653589793 * i / 90'000;
        points.push_back({200 + 180 * std::sin(7 * t), 150 + 130 * std::sin(11 * t)});
    }
    for (const bool chalk : {false, true}) {
        SCOPED_TRACE(chalk ? "chalk, 1000 wide" : "plain");
        const CanvasShape shape = makeShape(AnnotationKind::pencil, points, [&](Style& s) {
            s.chalk = chalk;
            s.lineWidth = chalk ? 1000 : 4;
        });
        const QImage image = rendered(shape, 400, 300);
        // Ink at the ends of the stroke and at its extremes; the plain stroke leaves the
        // corners clear, the wide one covers the whole view.
        EXPECT_FALSE(isBackground(image.pixelColor(200, 150)));
        EXPECT_FALSE(
            isBackground(image.pixelColor(380, 150 + static_cast<int>(130 * std::sin(11 * 3.141592653589793 / 14)))));
        EXPECT_EQ(isBackground(image.pixelColor(3, 3)), !chalk);
        EXPECT_EQ(isBackground(image.pixelColor(396, 296)), !chalk);
    }
}

TEST(AnnotationDrawing, PencilOfScatteredPointsDrawsInkAtItsPoints)
{
    // A crafted stroke of 90,000 points at random over the view, beyond what stroking
    // can draw in time: drawn from its coverage, in one pass of the colour (crossings
    // of a translucent colour are not darkened), with ink at every point in view.
    std::mt19937 generator(11);
    std::uniform_real_distribution<double> x(-20, 420);
    std::uniform_real_distribution<double> y(-20, 320);
    std::vector<Point> points(90'000);
    for (Point& p : points)
        p = {x(generator), y(generator)};
    struct Case {
        const char* name;
        double scale;
        double width;
        double alpha;
        bool dashed;
    };
    const Case cases[] = {
        {"plain", 1, 3, 1, false},
        {"zoomed, translucent", 2, 2, 0.5, false},
        {"dashed", 1, 3, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CanvasShape shape = makeShape(AnnotationKind::pencil, points, [&](Style& s) {
            s.lineWidth = c.width;
            s.strokeColor = blue.withAlpha(c.alpha);
            s.dashed = c.dashed;
        });
        QImage image = canvasImage(400, 300);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.scale(c.scale, c.scale);
        Renderer::draw(painter, shape);
        painter.end();

        const QColor ink = c.alpha < 1 ? QColor(127, 127, 255) : QColor(0, 0, 255);
        int inkAtPoints = 0;
        int pointsInView = 0;
        for (const Point& p : points) {
            const QPoint pixel(static_cast<int>(std::floor(p.x * c.scale)),
                               static_cast<int>(std::floor(p.y * c.scale)));
            if (!image.rect().contains(pixel))
                continue;
            ++pointsInView;
            inkAtPoints += channelDistance(image.pixelColor(pixel), ink) <= 2;
        }
        EXPECT_GT(pointsInView, 10'000);
        // Dashes leave gaps: a dash and its gap are 3 and 2.2 widths long.
        EXPECT_GE(inkAtPoints, c.dashed ? pointsInView / 3 : pointsInView);
        int otherColours = 0;
        for (int py = 0; py < image.height(); ++py) {
            for (int px = 0; px < image.width(); ++px) {
                const QColor colour = image.pixelColor(px, py);
                otherColours += !isBackground(colour) && channelDistance(colour, ink) > 2;
            }
        }
        EXPECT_EQ(otherColours, 0);
    }
}
