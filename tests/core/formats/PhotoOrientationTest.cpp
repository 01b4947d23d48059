#include "core/formats/PhotoOrientation.h"
#include "core/imaging/ImageCoding.h"
#include "core/imaging/PngEncoder.h"

#include "support/HeifFixtures.h"
#include "support/ImageFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(PhotoOrientation, ExifValuesBecomePanelOrientations)
{
    struct Case {
        int exif;
        PanelOrientation expected;
    };
    const Case cases[] = {
        {1, {0, false}}, {2, {0, true}},  {3, {2, false}}, {4, {2, true}},  {5, {1, true}},   {6, {1, false}},
        {7, {3, true}},  {8, {3, false}}, {0, {0, false}}, {9, {0, false}}, {-1, {0, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exif);
        EXPECT_EQ(PhotoOrientation::panelOrientation(c.exif), c.expected);
    }
}

TEST(PhotoOrientation, PropertiesReadTheOrientationOfJpegFiles)
{
    const QByteArray jpeg = *ImageCoding::encode(test::cornerImage(40, 20), ImageType::jpeg, 1, 0.9);
    for (int exif = 1; exif <= 8; ++exif) {
        SCOPED_TRACE(exif);
        const auto properties = PhotoOrientation::properties(test::withExifOrientation(jpeg, exif));
        ASSERT_TRUE(properties);
        EXPECT_EQ(properties->orientation, PhotoOrientation::panelOrientation(exif));
        EXPECT_EQ(properties->pixelSize, (Size{40, 20})); // as stored, even when turned
    }
}

TEST(PhotoOrientation, PropertiesGiveTwoPixelsPerPointFrom144DotsPerInch)
{
    const QImage image = test::cornerImage(6, 4);
    struct Case {
        const char* name;
        QByteArray data;
        double pixelsPerPoint;
    };
    const Case cases[] = {
        {"PNG without density", *encodePng(image, 0, {}), 1},
        {"PNG 72", *encodePng(image, 72, {}), 1},
        {"PNG 143", *encodePng(image, 143, {}), 1},
        {"PNG 144", *encodePng(image, 144, {}), 2},
        {"PNG 300", *encodePng(image, 300, {}), 2},
        {"JPEG 72", *ImageCoding::encode(image, ImageType::jpeg, 1, 0.9), 1},
        {"JPEG 144", *ImageCoding::encode(image, ImageType::jpeg, 2, 0.9), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto properties = PhotoOrientation::properties(c.data);
        ASSERT_TRUE(properties);
        EXPECT_EQ(properties->pixelsPerPoint, c.pixelsPerPoint);
        EXPECT_EQ(properties->pixelSize, (Size{6, 4}));
        EXPECT_EQ(properties->orientation, PanelOrientation::identity());
    }
    EXPECT_EQ(PhotoOrientation::properties("no image at all"), std::nullopt);
    EXPECT_EQ(PhotoOrientation::properties({}), std::nullopt);
}

TEST(PhotoOrientation, HeicFilesGiveTheirShownSizeAndNoFurtherTurn)
{
    const QByteArray turned = test::encodedHeic(test::cornerImage(40, 20), heif_orientation_rotate_90_cw);
    ASSERT_FALSE(turned.isEmpty());
    const auto properties = PhotoOrientation::properties(turned);
    ASSERT_TRUE(properties);
    EXPECT_EQ(*properties, (PhotoOrientation::Properties{PanelOrientation::identity(), {20, 40}, 1}));
    EXPECT_EQ(PhotoOrientation::properties(turned.left(64)), std::nullopt);
    EXPECT_EQ(PhotoOrientation::orientation(turned), PanelOrientation::identity());
}
