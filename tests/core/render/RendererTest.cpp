#include "core/render/Renderer.h"
#include "core/render/SeamLines.h"

#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelCaptions.h"
#include "core/render/RenderCache.h"
#include "support/RenderFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// The document drawn at `scale` pixels per point into an image of the canvas bounds
// grown by `margin` points on every side.
QImage render(const DocumentModel& doc, const ImageProviding& images, const Renderer::Options& options = {},
              double scale = 1, double margin = 0)
{
    const Rect bounds = canvasBounds(doc).insetBy(-margin, -margin);
    QImage image(int(std::lround(bounds.width() * scale)), int(std::lround(bounds.height() * scale)),
                 QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-bounds.minX(), -bounds.minY());
    Renderer::draw(doc, images, painter, options);
    return image;
}

DocumentModel onePanel(QColor colour, TestImages& images, Size size = {40, 30}, Point origin = {0, 0})
{
    DocumentModel doc;
    doc.panels = {imagePanel(1, origin, size)};
    images.add(doc.panels[0].imageID, solidImage(int(size.width), int(size.height), colour));
    return doc;
}

const QColor transparent(0, 0, 0, 0);

} // namespace

TEST(Renderer, BackgroundFillsExactlyTheCanvasBounds)
{
    struct Case {
        const char* name;
        CanvasBackground document;
        std::optional<CanvasBackground> override;
        QColor expected;
    };
    const std::vector<Case> cases = {
        {"document colour", ColorBackground{{0, 0, 1, 1}}, std::nullopt, QColor(0, 0, 255)},
        {"override colour", TransparentBackground{}, ColorBackground{{0, 1, 0, 1}}, QColor(0, 255, 0)},
        {"override transparent", ColorBackground{{0, 0, 1, 1}}, TransparentBackground{}, transparent},
        {"document transparent", TransparentBackground{}, std::nullopt, transparent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImages images;
        DocumentModel doc = onePanel(Qt::red, images, {40, 30}, {10, 10});
        doc.padding = 10; // canvas bounds (0, 0, 60, 50)
        doc.background = c.document;
        Renderer::Options options;
        options.backgroundOverride = c.override;
        const QImage image = render(doc, images, options, 1, 10); // canvas at (10, 10) in the image
        EXPECT_TRUE(near(pixelAt(image, 12, 12), c.expected));
        EXPECT_TRUE(near(pixelAt(image, 68, 58), c.expected));
        EXPECT_TRUE(near(pixelAt(image, 35, 35), QColor(Qt::red)));
        for (const QPoint outside : {QPoint(8, 30), QPoint(71, 30), QPoint(30, 8), QPoint(30, 61)})
            EXPECT_TRUE(near(pixelAt(image, outside.x(), outside.y()), transparent));
    }
}

TEST(Renderer, CornersAreRoundedByAtMostHalfTheShorterSide)
{
    struct Case {
        double radius;
        bool cornerDrawn;
        bool topMiddleDrawn;
    };
    for (const Case c : {Case{0, true, true}, Case{6, false, true}, Case{1000, false, false}}) {
        SCOPED_TRACE(c.radius);
        TestImages images;
        DocumentModel doc = onePanel(Qt::red, images, {60, 20});
        doc.panelCornerRadius = c.radius;
        const QImage image = render(doc, images);
        EXPECT_EQ(pixelAt(image, 0, 0).alpha() > 200, c.cornerDrawn);
        // A radius of 1000 becomes 10: a capsule, whose straight top starts at x = 10.
        EXPECT_EQ(pixelAt(image, 6, 0).alpha() > 200, c.topMiddleDrawn);
        EXPECT_EQ(pixelAt(image, 30, 0), QColor(Qt::red));
        EXPECT_EQ(pixelAt(image, 30, 10), QColor(Qt::red));
    }
}

TEST(Renderer, PanelShadowAndWhiteFrameOnlyWhenAsked)
{
    for (const bool shadow : {false, true}) {
        SCOPED_TRACE(shadow);
        TestImages images;
        DocumentModel doc;
        doc.panels = {imagePanel(1, {0, 0}, {40, 30})}; // no image: only the frame can show
        doc.panels.push_back(imagePanel(2, {0, 60}, {40, 10}));
        doc.panelShadow = shadow;
        const QImage image = render(doc, images);
        EXPECT_EQ(pixelAt(image, 20, 15), shadow ? QColor(Qt::white) : transparent);
        // Below the first panel's bottom edge the shadow (offset 6, blur 22) darkens.
        const QColor below = pixelAt(image, 20, 36);
        if (shadow) {
            EXPECT_GT(below.alpha(), 20);
            EXPECT_LT(below.red(), 40);
        } else {
            EXPECT_EQ(below, transparent);
        }
    }
}

TEST(Renderer, SpotlightsShareOneDimmingWithTheDarkestIntensityAndOneHoleEach)
{
    struct Case {
        std::vector<double> intensities;
        std::set<int> hidden;
        int outside; // expected grey level over a white image
    };
    const std::vector<Case> cases = {
        {{0.3, 0.7}, {}, 77},
        {{1.5}, {}, 13},
        {{0.3, 0.7}, {11}, 179},
        {{0.3, 0.7}, {10, 11}, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outside);
        TestImages images;
        DocumentModel doc = onePanel(Qt::white, images, {100, 40});
        for (std::size_t i = 0; i < c.intensities.size(); ++i) {
            Annotation a = opaqueAnnotation(10 + int(i), AnnotationKind::spotlight,
                                            {{5 + 50.0 * double(i), 5}, {35 + 50.0 * double(i), 35}});
            a.style.filterIntensity = c.intensities[i];
            a.style.cornerRadius = 0;
            doc.panels[0].annotations.push_back(a);
        }
        Renderer::Options options;
        for (int id : c.hidden)
            options.hiddenAnnotationIDs.insert(uuid(id));
        const QImage image = render(doc, images, options);
        EXPECT_NEAR(pixelAt(image, 45, 20).red(), c.outside, 2);
        EXPECT_NEAR(pixelAt(image, 2, 2).red(), c.outside, 2);
        if (c.hidden.empty()) {
            EXPECT_EQ(pixelAt(image, 20, 20), QColor(Qt::white));
            if (c.intensities.size() > 1) {
                EXPECT_EQ(pixelAt(image, 70, 20), QColor(Qt::white));
            }
        }
    }
}

TEST(Renderer, SeamPolylines)
{
    const std::vector<Point> zigzag = Renderer::zigzagLine({0, 0}, {7, 0});
    ASSERT_EQ(zigzag.size(), 3u);
    EXPECT_EQ(zigzag[0], (Point{0, -3}));
    EXPECT_EQ(zigzag[1], (Point{5, 3}));
    EXPECT_EQ(zigzag[2], (Point{7, 0}));

    const std::vector<Point> lightning = Renderer::breakLine({0, 0}, {1000, 0});
    ASSERT_EQ(lightning.size(), 2u + 3 * 4);
    for (int j = 0; j < 3; ++j) {
        SCOPED_TRACE(j);
        const Point p = lightning[1 + 4 * j];
        const Point q = lightning[4 + 4 * j];
        EXPECT_DOUBLE_EQ(q.x - p.x, 18);
        EXPECT_DOUBLE_EQ((p.x + q.x) / 2, 1000 * (j + 0.5) / 3);
        EXPECT_DOUBLE_EQ(lightning[2 + 4 * j].y - p.y, -10);
        EXPECT_DOUBLE_EQ(lightning[3 + 4 * j].y - q.y, 10);
    }
    EXPECT_TRUE(Renderer::zigzagLine({3, 3}, {3, 3}).empty());
    EXPECT_TRUE(Renderer::breakLine({3, 3}, {3, 3}).empty());
}

TEST(Renderer, SeamIsDrawnWhiteUnderDarkAcrossTheClosedBand)
{
    for (const CutMark mark : {CutMark::zigzag, CutMark::lightning}) {
        SCOPED_TRACE(int(mark));
        TestImages images;
        DocumentModel doc = onePanel(QColor(0, 0, 255), images, {80, 60});
        doc.cutMark = mark;
        doc.panels[0].removedStrips = {{RemovedStrip::Axis::rows, 20, 40}}; // seam at y = 20
        const QImage image = render(doc, images);
        ASSERT_EQ(image.height(), 40);
        int white = 0;
        int dark = 0;
        for (int y = 10; y < 30; ++y) {
            for (int x = 0; x < 80; ++x) {
                const QColor c = pixelAt(image, x, y);
                white += c.red() > 220 && c.blue() > 220;
                dark += c.red() < 90 && c.green() < 90 && c.blue() < 90;
            }
        }
        EXPECT_GT(white, 40);
        EXPECT_GT(dark, 20);
        EXPECT_EQ(pixelAt(image, 40, 2), QColor(0, 0, 255));
    }
}

TEST(Renderer, CursorSitsOnAnOrangeClickRingScaledWithThePanel)
{
    TestImages images;
    DocumentModel doc = onePanel(Qt::white, images, {80, 80});
    Panel& panel = doc.panels[0];
    panel.scale = 0.5; // frame 40 x 40, ring radius 8, line width 1
    panel.cursor = CursorElement{{40, 40}, uuid(50), {0, 0}, true, true};
    images.add(uuid(50), solidImage(4, 4, Qt::blue)); // 2 x 2 points at scale 0.5
    QImage image = render(doc, images, {}, 4);

    const auto at = [&](double x, double y) { return pixelAt(image, int(x * 4), int(y * 4)); };
    EXPECT_EQ(at(20.5, 20.5), QColor(Qt::blue)); // the cursor image at the tip
    const QColor ring = at(20 - 7.5, 20);        // on the ring's stroke
    EXPECT_GT(ring.red(), 200);
    EXPECT_LT(ring.blue(), 120);
    const QColor fill = at(20, 20 - 4); // inside: light orange tint
    EXPECT_GT(fill.red(), 240);
    EXPECT_LT(fill.blue(), 230);
    EXPECT_EQ(at(20 - 10, 20), QColor(Qt::white)); // outside the ring

    panel.cursor->showsClick = false;
    image = render(doc, images, {}, 4);
    EXPECT_EQ(at(20, 20 - 4), QColor(Qt::white));
    panel.cursor->isVisible = false;
    image = render(doc, images, {}, 4);
    EXPECT_EQ(at(20.5, 20.5), QColor(Qt::white));
}

TEST(Renderer, HighlighterMultipliesOnLightImagesAndKeepsTextLightOnDarkOnes)
{
    struct Case {
        QColor background;
        QColor onBackground;
        QColor onText;
    };
    // The dark image has a light "text" column at x 40...49; the light one a dark one.
    const std::vector<Case> cases = {
        {QColor(200, 200, 200), QColor(200, 200, 0), QColor(20, 20, 0)},
        {QColor(0, 0, 0), QColor(255, 255, 0), QColor(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.background.red());
        TestImages images;
        DocumentModel doc;
        doc.panels = {imagePanel(1, {0, 0}, {60, 40})};
        QImage picture = solidImage(60, 40, c.background);
        QPainter(&picture).fillRect(40, 0, 10, 40, c.background.red() > 100 ? QColor(20, 20, 20) : Qt::white);
        images.add(doc.panels[0].imageID, picture);
        Annotation a = opaqueAnnotation(10, AnnotationKind::highlighter, {{0, 20}, {60, 20}});
        a.style.strokeColor = {1, 1, 0, 1};
        a.style.lineWidth = 10;
        doc.panels[0].annotations = {a};
        const QImage image = render(doc, images);
        EXPECT_TRUE(near(pixelAt(image, 10, 20), c.onBackground, 4)) << pixelAt(image, 10, 20).name().toStdString();
        EXPECT_TRUE(near(pixelAt(image, 45, 20), c.onText, 4)) << pixelAt(image, 45, 20).name().toStdString();
        EXPECT_EQ(pixelAt(image, 10, 5), c.background); // outside the stroke
    }
}

TEST(Renderer, HiddenAnnotationsAndDocumentLevelFiltersAreNotDrawn)
{
    TestImages images;
    DocumentModel doc = onePanel(Qt::white, images, {100, 60});
    Annotation shown = opaqueAnnotation(10, AnnotationKind::rectangle, {{10, 10}, {30, 30}});
    Annotation hidden = opaqueAnnotation(11, AnnotationKind::rectangle, {{50, 10}, {70, 30}});
    doc.panels[0].annotations = {shown, hidden};
    Annotation hiddenOnDocument = opaqueAnnotation(12, AnnotationKind::rectangle, {{10, 40}, {30, 55}});
    doc.annotations = {hiddenOnDocument, opaqueAnnotation(13, AnnotationKind::blur, {{0, 0}, {100, 60}}),
                       opaqueAnnotation(14, AnnotationKind::pixelate, {{0, 0}, {100, 60}}),
                       opaqueAnnotation(15, AnnotationKind::spotlight, {{40, 35}, {60, 55}}),
                       opaqueAnnotation(16, AnnotationKind::lens, {{80, 45}, {85, 45}, {60, 45}})};
    Renderer::Options options;
    options.hiddenAnnotationIDs = {uuid(11), uuid(12)};
    const QImage image = render(doc, images, options);

    EXPECT_NE(pixelAt(image, 10, 20), QColor(Qt::white)); // the shown rectangle's left side
    EXPECT_EQ(pixelAt(image, 50, 20), QColor(Qt::white));
    EXPECT_EQ(pixelAt(image, 10, 47), QColor(Qt::white));
    // Nothing of the filters: every pixel off the shown rectangle is the white image.
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (x >= 5 && x < 36 && y >= 5 && y < 36)
                continue;
            ASSERT_EQ(pixelAt(image, x, y), QColor(Qt::white)) << x << "," << y;
        }
    }
}

TEST(Renderer, BlurAndPixelateRegionsFilterOnlyTheirRectangle)
{
    for (const AnnotationKind kind : {AnnotationKind::blur, AnnotationKind::pixelate}) {
        SCOPED_TRACE(int(kind));
        TestImages images;
        DocumentModel doc;
        doc.panels = {imagePanel(1, {0, 0}, {80, 40})};
        QImage picture(80, 40, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 80; ++x)
                picture.setPixelColor(x, y, (x / 2 + y / 2) % 2 ? Qt::black : Qt::white); // 2-pixel checks
        images.add(doc.panels[0].imageID, picture);
        Annotation a = opaqueAnnotation(10, kind, {{20, 0}, {60, 40}});
        a.style.filterIntensity = 8;
        doc.panels[0].annotations = {a};
        const QImage image = render(doc, images);
        const int inside = pixelAt(image, 40, 20).red();
        EXPECT_GT(inside, 40);
        EXPECT_LT(inside, 215);
        EXPECT_EQ(pixelAt(image, 10, 20), picture.pixelColor(10, 20));
        EXPECT_EQ(pixelAt(image, 70, 21), picture.pixelColor(70, 21));
    }
}

TEST(Renderer, LensShowsTheMagnifiedSourceInAShadowedDisc)
{
    TestImages images;
    DocumentModel doc;
    doc.panels = {imagePanel(1, {0, 0}, {120, 60})};
    QImage picture = solidImage(120, 60, Qt::blue);
    QPainter(&picture).fillRect(0, 0, 40, 60, Qt::red);
    images.add(doc.panels[0].imageID, picture);
    // Source circle about (20, 30), radius 8, shown 2x about (80, 30).
    Annotation lens = opaqueAnnotation(10, AnnotationKind::lens, {{20, 30}, {28, 30}, {80, 30}});
    lens.style.filterIntensity = 2;
    doc.panels[0].annotations = {lens};
    QImage image = render(doc, images);
    EXPECT_EQ(pixelAt(image, 80, 30), QColor(Qt::red));  // magnified red under the blue
    EXPECT_EQ(pixelAt(image, 20, 30), QColor(Qt::red));  // the source itself is unchanged
    EXPECT_EQ(pixelAt(image, 100, 5), QColor(Qt::blue)); // away from the disc

    images.add(doc.panels[0].imageID, QImage()); // no image: the disc is white
    image = render(doc, images);
    EXPECT_EQ(pixelAt(image, 80, 30), QColor(Qt::white));
}

TEST(Renderer, LowDisplayDensityDrawsAPreviewOfTheImage)
{
    struct Case {
        std::optional<double> display;
        std::vector<int> requests;
        QColor drawn;
    };
    // Image density 2; the preview is used below 1.4 display pixels per point.
    const std::vector<Case> cases = {
        {std::nullopt, {}, Qt::red}, {1.5, {}, Qt::red}, {1.0, {120}, Qt::green}, // 200 x 1 / 2 x 1.2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.display.value_or(0));
        TestImages images;
        DocumentModel doc;
        doc.panels = {imagePanel(1, {0, 0}, {200, 100}, 2)};
        images.add(doc.panels[0].imageID, solidImage(200, 100, Qt::red));
        images.addPreview(doc.panels[0].imageID, solidImage(120, 60, Qt::green));
        Renderer::Options options;
        options.displayPixelsPerPoint = c.display;
        const QImage image = render(doc, images, options);
        EXPECT_EQ(images.previewRequests, c.requests);
        EXPECT_EQ(pixelAt(image, 50, 25), c.drawn);
    }
}

TEST(Renderer, CaptionColourFollowsTheBackgroundActuallyDrawn)
{
    struct Case {
        const char* name;
        CanvasBackground document;
        std::optional<CanvasBackground> override;
        bool lightText;
    };
    const std::vector<Case> cases = {
        {"black document", ColorBackground{{0, 0, 0, 1}}, std::nullopt, true},
        {"black document exported on white", ColorBackground{{0, 0, 0, 1}}, ColorBackground{{1, 1, 1, 1}}, false},
        {"white document exported on black", ColorBackground{{1, 1, 1, 1}}, ColorBackground{{0, 0, 0, 1}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImages images;
        DocumentModel doc = onePanel(Qt::red, images, {120, 30});
        doc.panels[0].caption = QStringLiteral("Passo");
        doc.background = c.document;
        Renderer::Options options;
        options.backgroundOverride = c.override;
        const QImage image = render(doc, images, options, 2);
        const Rect caption = *captionFrame(doc.panels[0]);
        // Ink: pixels that differ clearly from the background, by their lightness.
        const QColor ground = pixelAt(image, 0, int(caption.maxY() * 2) - 1);
        int light = 0;
        int dark = 0;
        for (int y = int(caption.minY() * 2); y < int(caption.maxY() * 2); ++y) {
            for (int x = int(caption.minX() * 2); x < int(caption.maxX() * 2); ++x) {
                const int v = pixelAt(image, x, y).red();
                light += v > 200 && ground.red() < 100;
                dark += v < 100 && ground.red() > 200;
            }
        }
        EXPECT_GT(c.lightText ? light : dark, 30);
        EXPECT_EQ(c.lightText ? dark : light, 0);
    }
}

TEST(Renderer, TwoRendersOfOneDocumentAreIdentical)
{
    TestImages images;
    DocumentModel doc = onePanel(QColor(90, 140, 200), images, {120, 80});
    doc.panelShadow = true;
    doc.panelCornerRadius = 8;
    doc.padding = 16;
    doc.background = ColorBackground{{0.9, 0.9, 0.9, 1}};
    doc.panels[0].caption = QStringLiteral("Uno");
    doc.panels[0].annotations = {opaqueAnnotation(10, AnnotationKind::spotlight, {{10, 10}, {60, 50}}),
                                 opaqueAnnotation(11, AnnotationKind::blur, {{70, 10}, {110, 70}}),
                                 opaqueAnnotation(12, AnnotationKind::lens, {{30, 60}, {36, 60}, {90, 40}})};
    EXPECT_EQ(render(doc, images, {}, 2), render(doc, images, {}, 2));
}

TEST(Renderer, GoldenPanelScenes)
{
    TestImages images;
    DocumentModel doc;
    doc.padding = 20;
    doc.panelShadow = true;
    doc.panelCornerRadius = 10;
    doc.background = ColorBackground{RGBAColor::hex("#E8ECF0")};
    doc.cutMark = CutMark::zigzag;
    Panel panel = imagePanel(1, {20, 20}, {240, 200});
    QImage picture(240, 200, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 240; ++x)
            picture.setPixelColor(x, y, QColor(40 + x / 2, 80 + y / 3, 160 + (x + y) % 60));
    QPainter(&picture).fillRect(20, 150, 200, 30, Qt::white);
    images.add(panel.imageID, picture);
    panel.removedStrips = {{RemovedStrip::Axis::rows, 90, 110}};
    panel.cursor = CursorElement{{180, 60}, uuid(50), {0, 0}, true, true};
    images.add(uuid(50), solidImage(6, 9, Qt::black));
    Annotation spot = opaqueAnnotation(10, AnnotationKind::spotlight, {{20, 20}, {120, 80}});
    Annotation lens = opaqueAnnotation(11, AnnotationKind::lens, {{60, 150}, {72, 150}, {180, 140}});
    Annotation blur = opaqueAnnotation(12, AnnotationKind::pixelate, {{140, 20}, {220, 50}});
    panel.annotations = {spot, lens, blur};
    doc.panels = {panel};
    EXPECT_TRUE(matchesGolden(render(doc, images), QStringLiteral("panel-scene")));

    doc.cutMark = CutMark::lightning;
    doc.panelShadow = false;
    doc.panels[0].scale = 0.5;
    doc.panels[0].orientation = {1, true};
    EXPECT_TRUE(matchesGolden(render(doc, images, {}, 2), QStringLiteral("panel-turned-lightning")));
}

namespace {

// Three panels in a row with shadows, captions and shapes that reach past their frames
// (an outlined arrow, a filled callout, a lens, a blur, a highlighter), and document-level
// shapes between and around them.
DocumentModel spreadDocument(TestImages& images)
{
    DocumentModel doc;
    doc.padding = 30;
    doc.panelShadow = true;
    doc.panelCornerRadius = 10;
    doc.background = ColorBackground{RGBAColor::hex("#E8ECF0")};
    for (int i = 0; i < 3; ++i) {
        Panel panel = imagePanel(1 + i, {20 + 260.0 * i, 20}, {200, 140});
        QImage picture(200, 140, QImage::Format_RGB32); // opaque: the background leaves it a hole
        for (int y = 0; y < 140; ++y)
            for (int x = 0; x < 200; ++x)
                picture.setPixelColor(x, y, QColor(60 + x / 2, 90 + y, 150 + 40 * i));
        images.add(panel.imageID, picture);
        panel.caption = QStringLiteral("Pannello %1").arg(i + 1);
        Annotation arrow = opaqueAnnotation(10 + 10 * i, AnnotationKind::arrow, {{150, 100}, {240, 170}, {180, 150}});
        arrow.style.shapeOutline = true;
        Annotation callout = opaqueAnnotation(11 + 10 * i, AnnotationKind::callout, {{20, 20}, {60, 90}, {110, 60}});
        callout.style.fill = FillMode::solid;
        panel.annotations = {opaqueAnnotation(12 + 10 * i, AnnotationKind::blur, {{120, 10}, {190, 60}}),
                             opaqueAnnotation(13 + 10 * i, AnnotationKind::highlighter, {{10, 120}, {150, 120}}),
                             opaqueAnnotation(14 + 10 * i, AnnotationKind::lens, {{40, 100}, {46, 100}, {-10, 150}}),
                             arrow, callout};
        doc.panels.push_back(panel);
    }
    Annotation outlined = opaqueAnnotation(50, AnnotationKind::rectangle, {{230, 100}, {270, 230}});
    outlined.style.shapeOutline = true;
    doc.annotations = {outlined, opaqueAnnotation(51, AnnotationKind::arrow, {{500, 250}, {740, 200}}),
                       opaqueAnnotation(52, AnnotationKind::ellipse, {{-10, 200}, {120, 260}})};
    return doc;
}

} // namespace

TEST(Renderer, DrawingOnlyTheVisibleRectGivesTheSamePixelsThere)
{
    TestImages images;
    const DocumentModel doc = spreadDocument(images);
    constexpr double scale = 1.5;
    const Rect bounds = canvasBounds(doc);
    // The device pixels wholly inside `r`.
    const auto pixelsInside = [&](const Rect& r) {
        const Rect d((r.minX() - bounds.minX()) * scale, (r.minY() - bounds.minY()) * scale, r.width() * scale,
                     r.height() * scale);
        return QRect(QPoint(int(std::ceil(d.minX())), int(std::ceil(d.minY()))),
                     QPoint(int(std::floor(d.maxX())) - 1, int(std::floor(d.maxY())) - 1));
    };
    struct Case {
        const char* name;
        Rect visible;
    };
    const Case cases[] = {
        {"inside the first panel", Rect(40, 40, 60, 50)},
        {"across the first panel's lower edge", Rect(60, 150, 80, 30)},
        {"only the third panel's shadow, right of its frame", Rect(741, 30, 25, 70)},
        {"only the third panel's shadow, below its frame", Rect(662, 161, 22, 5)},
        {"only the shadow of a lens past its panel", Rect(0, 196, 25, 6)},
        {"the gap between two panels", Rect(221, 30, 58, 120)},
        {"around a document-level arrow", Rect(600, 200, 90, 50)},
        {"over the captions of two panels", Rect(200, 160, 120, 40)},
        {"a corner of bare background", Rect(bounds.maxX() - 25, bounds.maxY() - 25, 20.3, 20.7)},
    };
    Renderer::RenderCache fullCache;
    Renderer::RenderCache culledCache;
    for (Renderer::RenderCache* cache : {static_cast<Renderer::RenderCache*>(nullptr), &fullCache}) {
        Renderer::Options options;
        options.cache = cache;
        options.reusesShapePictures = cache != nullptr;
        const QImage full = render(doc, images, options, scale);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (cache ? ", cached" : ""));
            options.visibleRect = c.visible;
            options.cache = cache ? &culledCache : nullptr;
            const QImage culled = render(doc, images, options, scale);
            const QRect inside = pixelsInside(c.visible);
            ASSERT_FALSE(inside.isEmpty());
            EXPECT_EQ(culled.copy(inside), full.copy(inside));
        }
    }

    // Off the visible rect, the third panel's image was never drawn.
    Renderer::Options options;
    options.visibleRect = Rect(40, 40, 60, 50);
    const QImage culled = render(doc, images, options, scale);
    const QPoint thirdPanel = pixelsInside(Rect(620, 90, 1, 1)).topLeft();
    EXPECT_EQ(pixelAt(culled, thirdPanel.x(), thirdPanel.y()), transparent);
}
