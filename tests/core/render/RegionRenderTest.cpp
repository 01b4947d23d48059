#include "core/render/RegionRender.h"

#include "core/render/DocumentAnnotations.h"
#include "core/render/Exporter.h"
#include "core/render/HighlighterAlignment.h"
#include "core/render/TextLayout.h"
#include "RenderFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// A 2-pixels-per-point panel of dark text lines on white, at (10, 20).
struct TextDocument {
    DocumentModel doc;
    TestImages images;
    std::vector<double> lineCentres; // canvas y

    TextDocument()
    {
        QImage picture(800, 400, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        Style style;
        style.strokeColor = RGBAColor::black();
        style.fontSize = 28;
        style.fontBold = false;
        for (int i = 0; i < 3; ++i) {
            const double top = 40 + i * 110;
            TextLayout::draw(QStringLiteral("Riga di testo numero %1").arg(i + 1), style, {40, top}, painter);
            const Size size = TextLayout::size(QStringLiteral("Riga"), style, std::nullopt);
            lineCentres.push_back(20 + (top + size.height / 2) / 2);
        }
        painter.end();
        Panel panel = imagePanel(1, {10, 20}, {800, 400}, 2);
        doc.panels = {panel};
        images.add(panel.imageID, picture);
    }
};

} // namespace

TEST(RegionRender, MatchesTheWhiteNativeExportPixelForPixel)
{
    TextDocument t;
    t.doc.padding = 7;
    t.doc.background = ColorBackground{RGBAColor::black()};
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    options.background = ColorBackground{RGBAColor::white()};
    const QImage whole = *Exporter::renderImage(t.doc, t.images, options);
    const auto region = renderAlignedRegion(t.doc, Rect(50.3, 60.7, 100.2, 40.1), t.images);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->pixelsPerPoint, 2);
    EXPECT_EQ(region->rect, Rect(50, 60.5, 100.5, 40.5));
    const QPoint at((region->rect.minX() - canvasBounds(t.doc).minX()) * 2,
                    (region->rect.minY() - canvasBounds(t.doc).minY()) * 2);
    EXPECT_EQ(region->image, whole.copy(QRect(at, region->image.size())));
}

TEST(RegionRender, ClipsToTheCanvasAndRefusesWhatMissesIt)
{
    TextDocument t;
    const Rect bounds = canvasBounds(t.doc);
    const auto clipped = renderAlignedRegion(t.doc, Rect(bounds.minX() - 30, bounds.minY() - 30, 100, 60), t.images);
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->rect.origin, bounds.origin);
    EXPECT_EQ(clipped->image.height(), 60);
    EXPECT_FALSE(renderAlignedRegion(t.doc, Rect(-500, -500, 10, 10), t.images));
    EXPECT_FALSE(renderAlignedRegion(t.doc, Rect(20, 30, 0.5, 10), t.images));
}

TEST(HighlighterAlignment, SnapsToTheNearestLineAndThickensToIt)
{
    TextDocument t;
    const double y = t.lineCentres[1];
    const auto drawStroke = [&](Point a, Point b) {
        CanvasShape stroke{AnnotationKind::highlighter, {a, b}, {}, Style::defaults(AnnotationKind::highlighter)};
        return insert(t.doc, stroke, QUuid::createUuid()).id;
    };
    const QUuid id = drawStroke({40, y + 6}, {200, y + 3});
    alignHighlighterToText(t.doc, id, t.images);
    const CanvasShape snapped = *canvasShape(t.doc, id);
    ASSERT_EQ(snapped.points.size(), 2u);
    EXPECT_EQ(snapped.points[0].y, snapped.points[1].y);
    EXPECT_NEAR(snapped.points[0].y, y, 2);
    EXPECT_EQ(snapped.points[0].x, 40);
    EXPECT_GT(snapped.style.lineWidth, 10);
    EXPECT_LT(snapped.style.lineWidth, 25);

    // Steep strokes, strokes over empty paper and strokes that do not follow text stay.
    const QUuid steep = drawStroke({100, y}, {120, y + 10});
    const QUuid empty = drawStroke({40, 400}, {300, 400});
    const QUuid free = drawStroke({40, y + 5}, {200, y + 5});
    updateAnnotation(t.doc, free, [](Annotation& a) { a.style.followsText = false; });
    const DocumentModel before = t.doc;
    for (const QUuid& unchanged : {steep, empty, free})
        alignHighlighterToText(t.doc, unchanged, t.images);
    EXPECT_EQ(t.doc, before);
}

TEST(HighlighterAlignment, MapsLinesThroughTheRectangleTheRenderCovers)
{
    // The first line sits near the top of a tightly cropped canvas: the band is clipped
    // there, and lines must still land where they are.
    TextDocument t;
    t.doc.panels[0].origin = {0, 0};
    t.doc.panels[0].crop = Rect(0, 30, 800, 370);
    const double y = t.lineCentres[0] - 20 - 15;
    CanvasShape stroke{AnnotationKind::highlighter, {{20, y + 4}, {180, y + 4}}, {}, Style::defaults(AnnotationKind::highlighter)};
    const QUuid id = insert(t.doc, stroke, QUuid::createUuid()).id;
    alignHighlighterToText(t.doc, id, t.images);
    EXPECT_NEAR(canvasShape(t.doc, id)->points[0].y, y, 2);
}
