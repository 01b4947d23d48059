#include "core/imaging/Exporter.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/ImageCoding.h"
#include "core/model/ExportBackground.h"
#include "support/RenderFixtures.h"

#include <QColorSpace>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

DocumentModel panelDocument(TestImages& images, Size size, double pixelsPerPoint, QColor colour = Qt::red)
{
    DocumentModel doc;
    doc.panels = {imagePanel(1, {0, 0}, size, pixelsPerPoint)};
    images.add(doc.panels[0].imageID, solidImage(int(size.width), int(size.height), colour));
    return doc;
}

ExportOptions options(ExportOptions::Resolution resolution, ExportOptions::Format format = ExportOptions::Png{},
                      std::optional<CanvasBackground> background = std::nullopt)
{
    ExportOptions o;
    o.resolution = resolution;
    o.format = format;
    o.background = background;
    return o;
}

} // namespace

TEST(Exporter, PixelSizesOfTheSizeChoices)
{
    TestImages images;
    DocumentModel noPanels;
    noPanels.annotations = {Annotation::make(uuid(1), AnnotationKind::rectangle, {{0, 0}, {100, 50}})};
    const Rect bounds = canvasBounds(noPanels);
    EXPECT_EQ(pixelSize(ExportSize::original, noPanels),
              (Exporter::PixelSize{roundedInt64(bounds.width()), roundedInt64(bounds.height())}));

    const DocumentModel wide = panelDocument(images, {2000, 600}, 2); // 1000 x 300 points
    struct Case {
        ExportSize size;
        Exporter::PixelSize expected;
    };
    for (const Case c : {Case{ExportSize::original, {2000, 600}}, Case{ExportSize::normal, {1000, 300}},
                         Case{ExportSize::maxWidth1200, {1200, 360}}, Case{ExportSize::maxWidth800, {800, 240}}}) {
        SCOPED_TRACE(enumText(c.size));
        EXPECT_EQ(pixelSize(c.size, wide), c.expected);
        const auto image = Exporter::renderImage(wide, images, options(resolution(c.size)));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->size(), QSize(int(c.expected.width), int(c.expected.height)));
        EXPECT_EQ(image->format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(image->colorSpace(), QColorSpace(QColorSpace::SRgb));
    }
}

TEST(Exporter, BackgroundOfPngAndJpeg)
{
    struct Case {
        const char* name;
        CanvasBackground document;
        ExportOptions::Format format;
        std::optional<CanvasBackground> background;
        QColor expected;
    };
    const std::vector<Case> cases = {
        {"png keeps transparency", TransparentBackground{}, ExportOptions::Png{}, std::nullopt, QColor(0, 0, 0, 0)},
        {"jpeg of transparent is white", TransparentBackground{}, ExportOptions::Jpeg{}, std::nullopt, Qt::white},
        {"white export background under png", TransparentBackground{}, ExportOptions::Png{},
         canvasBackground(ExportBackground::white), Qt::white},
        {"transparent export background", ColorBackground{{0, 0, 1, 1}}, ExportOptions::Png{},
         canvasBackground(ExportBackground::transparent), QColor(0, 0, 0, 0)},
        {"document background", ColorBackground{{0, 0, 1, 1}}, ExportOptions::Png{},
         canvasBackground(ExportBackground::document), Qt::blue},
        // A translucent colour is composed over white, not darkened toward black.
        {"jpeg of translucent white", ColorBackground{{1, 1, 1, 0.5}}, ExportOptions::Jpeg{}, std::nullopt, Qt::white},
        {"jpeg of translucent black", ColorBackground{{0, 0, 0, 0.5}}, ExportOptions::Jpeg{}, std::nullopt,
         QColor(128, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImages images;
        DocumentModel doc = panelDocument(images, {20, 20}, 1);
        doc.padding = 10;
        doc.background = c.document;
        const ExportOptions o = options(ExportOptions::Normal{}, c.format, c.background);
        const auto image = Exporter::renderImage(doc, images, o);
        ASSERT_TRUE(image);
        EXPECT_TRUE(near(image->pixelColor(2, 2), c.expected, 1))
            << image->pixelColor(2, 2).name(QColor::HexArgb).toStdString();
        EXPECT_EQ(image->pixelColor(20, 20), QColor(Qt::red));
        if (std::holds_alternative<ExportOptions::Jpeg>(c.format)) {
            const auto data = Exporter::exportImage(doc, images, o);
            ASSERT_TRUE(data);
            EXPECT_TRUE(near(ImageCoding::decode(*data).pixelColor(2, 2), c.expected, 4));
        }
    }
}

TEST(Exporter, EncodedFilesRecordTheExportDensity)
{
    TestImages images;
    const DocumentModel doc = panelDocument(images, {40, 20}, 2);
    for (const ExportOptions::Format format :
         {ExportOptions::Format(ExportOptions::Png{}), ExportOptions::Format(ExportOptions::Jpeg{0.8})}) {
        SCOPED_TRACE(format.index());
        const auto data = Exporter::exportImage(doc, images, options(ExportOptions::Native{}, format));
        ASSERT_TRUE(data);
        EXPECT_NEAR(ImageCoding::dotsPerInch(*data).value_or(0), 144, 0.5);
        EXPECT_EQ(ImageCoding::decode(*data).size(), QSize(40, 20));
    }
}

TEST(Exporter, RefusesEmptyAndOversizedCanvases)
{
    TestImages images;
    EXPECT_EQ(
        std::get<Exporter::RenderFailure>(Exporter::render(DocumentModel{}, images, options(ExportOptions::Native{}))),
        Exporter::RenderFailure::emptyCanvas);
    EXPECT_FALSE(Exporter::exportImage(DocumentModel{}, images, options(ExportOptions::Native{})));

    const DocumentModel doc = panelDocument(images, {100, 100}, 1);
    const auto huge = Exporter::render(doc, images, options(ExportOptions::Scale{1e6}));
    ASSERT_TRUE(std::holds_alternative<Exporter::RenderFailure>(huge));
    EXPECT_EQ(std::get<Exporter::RenderFailure>(huge), Exporter::RenderFailure::tooLarge);
    EXPECT_FALSE(Exporter::failureMessage(Exporter::RenderFailure::tooLarge).isEmpty());
    EXPECT_FALSE(Exporter::pixelSize(Rect(0, 0, 10, 10), std::nan("")));
    EXPECT_FALSE(Exporter::pixelSize(Rect(0, 0, 10, 10), 1e300));
}

TEST(Exporter, TallDocumentIsDrawnWholeBeyondTheRasterLimits)
{
    // 40,000 pixels high: more than the raster engine's 16.16 fixed point reaches.
    TestImages images;
    DocumentModel doc;
    doc.panels = {imagePanel(1, {0, 0}, {30, 40000})};
    QImage picture = solidImage(30, 40000, Qt::red);
    {
        QPainter p(&picture);
        p.fillRect(0, 39000, 30, 1000, Qt::green);
        p.fillRect(0, 33000, 15, 10, Qt::blue);
    }
    images.add(doc.panels[0].imageID, picture);
    doc.panelCornerRadius = 6;
    doc.panels[0].annotations = {Annotation::make(uuid(5), AnnotationKind::spotlight, {{0, 36000}, {30, 36010}})};

    const auto image = Exporter::renderImage(doc, images, options(ExportOptions::Native{}));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), QSize(30, 40000));
    // The spotlight (0.55) dims the whole panel but its hole, across every tile.
    const QColor dimRed(115, 0, 0);
    for (const int y : {100, 16383, 16384, 20000, 32767, 32768, 35000, 38999})
        EXPECT_TRUE(near(image->pixelColor(20, y), dimRed, 2)) << y;
    EXPECT_TRUE(near(image->pixelColor(5, 33005), QColor(0, 0, 115), 2));
    EXPECT_TRUE(near(image->pixelColor(15, 39500), QColor(0, 115, 0), 2));
    EXPECT_TRUE(near(image->pixelColor(15, 39999), QColor(0, 115, 0), 2));
    EXPECT_EQ(image->pixelColor(20, 36005), QColor(Qt::red));
}

TEST(Exporter, ExportBackgroundTexts)
{
    EXPECT_EQ(allCases<ExportBackground>().size(), 3u);
    for (const ExportBackground b : allCases<ExportBackground>())
        EXPECT_EQ(enumFromText<ExportBackground>(enumText(b)), b);
    for (const ExportSize s : allCases<ExportSize>())
        EXPECT_EQ(enumFromText<ExportSize>(enumText(s)), s);
    EXPECT_FALSE(enumFromText<ExportBackground>("White"));
    EXPECT_FALSE(enumFromText<ExportSize>("maxwidth800"));
    EXPECT_EQ(title(ExportBackground::document), QStringLiteral("Come nel documento"));
}
