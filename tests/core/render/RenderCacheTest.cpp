#include "core/render/RenderCache.h"

#include "core/render/Renderer.h"
#include "support/RenderFixtures.h"

#include <gtest/gtest.h>

#include <thread>

using namespace vorlix;
using namespace vorlix::test;
using Filters::FilterMode;
using Filters::FilterRequest;

namespace {

// A panel with a light checked image under a blur, a pixelation and a highlighter, and
// shapes with shadows and halos (callout, lens, outlined arrow), plus text.
DocumentModel busyDocument(TestImages& images)
{
    DocumentModel doc;
    doc.panelShadow = true;
    doc.panelCornerRadius = 8;
    doc.padding = 20;
    doc.background = ColorBackground{RGBAColor::hex("#E8ECF0")};
    doc.panels = {imagePanel(1, {20, 20}, {300, 200})};
    QImage picture(300, 200, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            picture.setPixelColor(x, y, (x / 4 + y / 4) % 2 ? QColor(230, 230, 230) : QColor(250, 250, 250));
    images.add(doc.panels[0].imageID, picture);
    Annotation arrow = opaqueAnnotation(10, AnnotationKind::arrow, {{20, 20}, {140, 90}, {60, 90}});
    arrow.style.shapeOutline = true;
    Annotation callout =
        opaqueAnnotation(11, AnnotationKind::callout, {{170, 20}, {220, 110}, {290, 60}}, QStringLiteral("Nota"));
    callout.style.fill = FillMode::solid;
    doc.panels[0].annotations = {opaqueAnnotation(12, AnnotationKind::blur, {{20, 110}, {100, 160}}),
                                 opaqueAnnotation(13, AnnotationKind::pixelate, {{110, 110}, {170, 160}}),
                                 opaqueAnnotation(14, AnnotationKind::highlighter, {{20, 180}, {280, 180}}),
                                 opaqueAnnotation(15, AnnotationKind::lens, {{240, 150}, {250, 150}, {200, 170}}),
                                 arrow,
                                 callout,
                                 opaqueAnnotation(16, AnnotationKind::text, {{120, 30}}, QStringLiteral("Salva qui"))};
    return doc;
}

// The document through `transform` onto a 480 x 340 target, with `cache` or without.
QImage render(const DocumentModel& doc, const ImageProviding& images, const QTransform& transform,
              Renderer::RenderCache* cache)
{
    QImage image(480, 340, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setTransform(transform);
    Renderer::Options options;
    options.cache = cache;
    options.reusesShapePictures = cache != nullptr;
    Renderer::draw(doc, images, painter, options);
    return image;
}

} // namespace

TEST(RenderCache, EqualRequestsOnTheSamePixelsShareOnePiece)
{
    Renderer::RenderCache cache;
    const QImage image = filledRGBA(64, 48, qRgb(10, 200, 30));
    const FilterRequest pixelate{FilterMode::pixelate, 4, true};
    const QImage first = cache.regionImage(image, Rect(8, 8, 10, 16), pixelate);
    EXPECT_EQ(first.size(), QSize(3, 4));
    EXPECT_EQ(cache.regionImage(image, Rect(8, 8, 10, 16), pixelate).cacheKey(), first.cacheKey());
    // A copy shares the pixels and their key.
    const QImage shared = image;
    cache.regionImage(shared, Rect(8, 8, 10, 16), pixelate);
    EXPECT_EQ(cache.regionCount(), 1);

    // Intensity counts to a tenth of a pixel.
    cache.regionImage(image, Rect(8, 8, 10, 16), {FilterMode::pixelate, 4.04, true});
    EXPECT_EQ(cache.regionCount(), 1);
    const FilterRequest others[] = {
        {FilterMode::pixelate, 4.1, true}, {FilterMode::pixelate, 4, false}, {FilterMode::blur, 4, false}};
    for (const FilterRequest& r : others)
        cache.regionImage(image, Rect(8, 8, 10, 16), r);
    cache.regionImage(image, Rect(8, 9, 10, 16), pixelate);
    EXPECT_EQ(cache.regionCount(), 5);

    // Other pixels, however alike, are another image.
    QImage changed = image;
    changed.setPixel(0, 0, qRgb(0, 0, 0));
    cache.regionImage(changed, Rect(8, 8, 10, 16), pixelate);
    EXPECT_EQ(cache.regionCount(), 6);

    EXPECT_TRUE(cache.regionImage(image, Rect(80, 0, 5, 5), pixelate).isNull());
    EXPECT_TRUE(cache.regionImage(QImage(), Rect(0, 0, 5, 5), pixelate).isNull());
    EXPECT_EQ(cache.regionCount(), 6);
    cache.clear();
    EXPECT_EQ(cache.regionCount(), 0);
}

TEST(RenderCache, HoldsAtMostSixtyFourPieces)
{
    Renderer::RenderCache cache;
    const QImage image = filledRGBA(100, 10, qRgb(1, 2, 3));
    for (int x = 0; x < 80; ++x)
        cache.regionImage(image, Rect(x, 0, 5, 5), {FilterMode::pixelate, 2, false});
    EXPECT_EQ(cache.regionCount(), Renderer::RenderCache::regionCapacity);
}

TEST(RenderCache, DarknessAnswersFollowThePixelsNotTheImageID)
{
    Renderer::RenderCache cache;
    Panel panel;
    panel.imageID = uuid(3);
    panel.pixelSize = {50, 50};
    const std::vector<Point> points{{25, 25}};
    const QImage black = filledRGBA(50, 50, qRgb(0, 0, 0));
    EXPECT_EQ(cache.isDark(points, panel, black, 0), true);
    EXPECT_EQ(cache.isDark(points, panel, black, 0), true);
    EXPECT_EQ(cache.darknessCount(), 1);
    // The same id with new pixels (an image replaced in the store): a new answer.
    EXPECT_EQ(cache.isDark(points, panel, filledRGBA(50, 50, qRgb(255, 255, 255)), 0), false);
    EXPECT_EQ(cache.darknessCount(), 2);
    EXPECT_EQ(cache.isDark({}, panel, black, 0), std::nullopt);
    EXPECT_EQ(cache.isDark(points, panel, QImage(), 0), std::nullopt);
}

// The image store hands out a new QImage when the bytes under an id are replaced: a
// canvas redraw must show the new pixels, filtered and judged afresh.
TEST(RenderCache, AnImageReplacedUnderItsIDIsNeverDrawnFromOldPieces)
{
    TestImages images;
    DocumentModel doc = busyDocument(images);
    Renderer::RenderCache cache;
    const QTransform transform = QTransform::fromTranslate(10, 10);
    render(doc, images, transform, &cache);
    images.add(doc.panels[0].imageID, solidImage(300, 200, QColor(20, 30, 40)));
    const QImage redrawn = render(doc, images, transform, &cache);
    Renderer::RenderCache fresh;
    EXPECT_EQ(redrawn, render(doc, images, transform, &fresh));
    // The dark image turns the highlighter opaque: it is not the light one's answer.
    TestImages light;
    Renderer::RenderCache other;
    EXPECT_NE(redrawn, render(busyDocument(light), light, transform, &other));
}

// Two canvases showing documents at different zooms, redrawn in turn: each keeps its own
// pictures. One cache shared between them would draw every shape afresh on every turn.
TEST(RenderCache, TwoCanvasesDrawnInTurnKeepTheirOwnPictures)
{
    TestImages images;
    const DocumentModel doc = busyDocument(images);
    const QTransform zooms[] = {QTransform::fromTranslate(4, 4), QTransform::fromTranslate(2.5, 3.5).scale(1.25, 1.25)};
    Renderer::RenderCache canvases[2];
    QImage first[2];
    for (int i = 0; i < 2; ++i)
        first[i] = render(doc, images, zooms[i], &canvases[i]);
    const std::uint64_t made[] = {canvases[0].shapePictures().picturesMade(),
                                  canvases[1].shapePictures().picturesMade()};
    const int regions[] = {canvases[0].regionCount(), canvases[1].regionCount()};
    EXPECT_GT(made[0], 0U);
    EXPECT_GT(regions[0], 0);
    for (int turn = 0; turn < 3; ++turn) {
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(testing::Message() << "turn " << turn << " canvas " << i);
            EXPECT_EQ(render(doc, images, zooms[i], &canvases[i]), first[i]);
            EXPECT_EQ(canvases[i].shapePictures().picturesMade(), made[i]);
            EXPECT_EQ(canvases[i].regionCount(), regions[i]);
        }
    }

    Renderer::RenderCache shared;
    render(doc, images, zooms[0], &shared);
    const std::uint64_t once = shared.shapePictures().picturesMade();
    render(doc, images, zooms[1], &shared);
    render(doc, images, zooms[0], &shared);
    EXPECT_EQ(shared.shapePictures().picturesMade(), 3 * once);
}

// A canvas drawing on one thread while an export draws on another, and a second canvas
// on a third: each result is what the same draw gives alone.
TEST(RenderCache, DrawsOnSeveralThreadsAtOnceEachGiveTheirOwnResult)
{
    struct Job {
        QTransform transform;
        bool cached = false;
        QImage expected = {};
        bool allEqual = true;
    };
    std::vector<Job> jobs = {{.transform = QTransform::fromTranslate(4, 4), .cached = true},
                             {.transform = QTransform::fromTranslate(2.5, 3.5).scale(1.25, 1.25), .cached = true},
                             {.transform = QTransform::fromTranslate(0, 0).scale(1.4, 1.4), .cached = false}};
    for (Job& job : jobs) {
        TestImages images;
        Renderer::RenderCache cache;
        job.expected = render(busyDocument(images), images, job.transform, job.cached ? &cache : nullptr);
    }
    std::vector<std::thread> threads;
    for (Job& job : jobs) {
        threads.emplace_back([&job] {
            TestImages images;
            const DocumentModel doc = busyDocument(images);
            Renderer::RenderCache cache;
            for (int i = 0; i < 6; ++i)
                job.allEqual =
                    job.allEqual && render(doc, images, job.transform, job.cached ? &cache : nullptr) == job.expected;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.transform.m11());
        EXPECT_TRUE(job.allEqual);
    }
}
