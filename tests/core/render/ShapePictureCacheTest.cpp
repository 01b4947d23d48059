#include "core/render/ShapePictureCache.h"

#include "core/document/DocumentAnnotations.h"
#include "core/render/RenderCache.h"
#include "core/render/Renderer.h"
#include "support/RenderFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// One panel with a shape of every kind the canvas keeps as a picture, in their variants
// (outline halo, chalk, opacity layer, measure label), plus a highlighter, which is not kept.
DocumentModel busyDocument(TestImages& images)
{
    DocumentModel doc;
    doc.panels = {imagePanel(1, {0, 0}, {320, 220})};
    images.add(doc.panels[0].imageID, solidImage(320, 220, QColor(235, 240, 245)));
    std::vector<Annotation>& a = doc.panels[0].annotations;
    Annotation arrow = opaqueAnnotation(10, AnnotationKind::arrow, {{20, 20}, {140, 90}, {60, 90}});
    arrow.style.shapeOutline = true;
    Annotation chalk = opaqueAnnotation(11, AnnotationKind::rectangle, {{170, 20}, {300, 90}});
    chalk.style.chalk = true;
    Annotation faint = opaqueAnnotation(12, AnnotationKind::ellipse, {{30, 110}, {130, 190}});
    faint.style.opacity = 0.5;
    faint.style.fill = FillMode::solid;
    Annotation measured = opaqueAnnotation(13, AnnotationKind::line, {{150, 120}, {290, 160}});
    measured.style.showsMeasure = true;
    a = {arrow,
         chalk,
         faint,
         measured,
         opaqueAnnotation(14, AnnotationKind::text, {{150, 170}}, QStringLiteral("Salva qui")),
         opaqueAnnotation(15, AnnotationKind::callout, {{200, 30}, {250, 120}, {300, 60}}, QStringLiteral("Nota")),
         opaqueAnnotation(16, AnnotationKind::number, {{100, 30}}),
         opaqueAnnotation(17, AnnotationKind::pencil, {{20, 200}, {60, 180}, {100, 205}}),
         opaqueAnnotation(18, AnnotationKind::highlighter, {{150, 200}, {300, 200}})};
    return doc;
}
const std::size_t keptShapes = 8; // all but the highlighter

// The document drawn through `transform`, as a canvas with `cache` (kept pictures) or,
// without one, as an export.
QImage render(const DocumentModel& doc, const ImageProviding& images, const QTransform& transform,
              Renderer::RenderCache* cache)
{
    QImage image(520, 380, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setTransform(transform);
    Renderer::Options options;
    options.cache = cache;
    options.reusesShapePictures = cache != nullptr;
    if (cache)
        options.displayPixelsPerPoint = transform.m11();
    Renderer::draw(doc, images, painter, options);
    return image;
}

// Pixels of `a` and `b` (same size) whose channels differ by more than `tolerance`.
int differingPixels(const QImage& a, const QImage& b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += !near(a.pixelColor(x, y), b.pixelColor(x, y), tolerance);
    return count;
}

} // namespace

TEST(ShapePictureCache, CanvasThroughKeptPicturesLooksLikeDirectDrawing)
{
    struct Case {
        const char* name;
        QTransform transform;
    };
    const std::vector<Case> cases = {
        {"whole pixels", QTransform::fromTranslate(10, 10)},
        {"fractions of a pixel, zoomed", QTransform::fromTranslate(5.37, 9.61).scale(1.5, 1.5)},
        {"turned", QTransform::fromTranslate(450, 10).rotate(90).scale(1.25, 1.25)},
    };
    TestImages images;
    const DocumentModel doc = busyDocument(images);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Renderer::RenderCache cache;
        const QImage direct = render(doc, images, c.transform, nullptr);
        const QImage first = render(doc, images, c.transform, &cache);
        EXPECT_EQ(cache.shapePictures().pictureCount(), keptShapes);
        const QImage again = render(doc, images, c.transform, &cache);
        EXPECT_EQ(first, again);
        EXPECT_EQ(differingPixels(direct, first, 2), 0);
    }
}

TEST(ShapePictureCache, ScrolledByWholePixelsReusesPicturesAndChangedShapesAreDrawnAfresh)
{
    TestImages images;
    DocumentModel doc = busyDocument(images);
    Renderer::RenderCache canvas;
    const Renderer::ShapePictureCache& cache = canvas.shapePictures();
    const QImage before = render(doc, images, QTransform::fromTranslate(20.25, 30.5), &canvas);
    const qsizetype pixels = cache.pixelCount();
    const std::uint64_t made = cache.picturesMade();

    const QImage scrolled = render(doc, images, QTransform::fromTranslate(27.25, 22.5), &canvas);
    EXPECT_EQ(cache.pixelCount(), pixels);
    EXPECT_EQ(cache.picturesMade(), made);
    EXPECT_EQ(scrolled.copy(27, 22, 400, 300), before.copy(20, 30, 400, 300));

    // The chalk rectangle moves; nothing of it stays where it was.
    doc.panels[0].annotations[1].points = {{170, 130}, {300, 200}};
    const QImage moved = render(doc, images, QTransform::fromTranslate(27.25, 22.5), &canvas);
    EXPECT_EQ(differingPixels(render(doc, images, QTransform::fromTranslate(27.25, 22.5), nullptr), moved, 2), 0);
    EXPECT_EQ(cache.pictureCount(), keptShapes);
    EXPECT_EQ(cache.picturesMade(), made + 1);
}

TEST(ShapePictureCache, KeepsWithinItsPixelsDroppingTheLeastRecentlyUsed)
{
    Renderer::ShapePictureCache cache(40'000);
    QImage target(400, 400, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    QPainter painter(&target);
    const auto rectangle = [](double x) {
        Style style = Style::defaults(AnnotationKind::rectangle);
        style.opacity = 1;
        return CanvasShape{AnnotationKind::rectangle, {{x, 20}, {x + 100, 120}}, {}, style};
    };
    // Each picture is the rectangle and its margin, over 100 x 100 pixels.
    for (int i = 0; i < 3; ++i) {
        cache.draw(painter, uuid(i), rectangle(20 + 120 * i), std::nullopt);
        EXPECT_LE(cache.pixelCount(), 40'000);
    }
    EXPECT_LT(cache.pictureCount(), 3U);
    // The newest picture is kept: drawing it again adds nothing.
    const qsizetype pixels = cache.pixelCount();
    cache.draw(painter, uuid(2), rectangle(260), std::nullopt);
    EXPECT_EQ(cache.pixelCount(), pixels);
}
