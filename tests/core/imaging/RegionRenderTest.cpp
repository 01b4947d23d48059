#include "core/imaging/RegionRender.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "support/TextDocumentFixture.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

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
