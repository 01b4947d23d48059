// The picture and density taken from pasted or dropped data.

#include "app/editor/document/PastedImage.h"

#include "DocumentFixtures.h"

#include "support/ImageFixtures.h"

#include <QMimeData>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

TEST(PastedImage, TwoPixelsPerPointFromHalfAgainAsManyPixelsAsPoints)
{
    const struct {
        double pixelWidth;
        double pointWidth;
        double expected;
    } cases[] = {
        {100, 100, 1}, {149, 100, 1}, {150, 100, 2}, {200, 100, 2}, {300, 100, 2}, {100, 0, 1}, {100, -50, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixelWidth << " px over " << c.pointWidth << " pt");
        EXPECT_EQ(PastedImage::pixelsPerPointFor(c.pixelWidth, c.pointWidth), c.expected);
    }
}

TEST(PastedImage, TheDensityComesFromTheDataOrTheImageObject)
{
    const auto encoded = [](const QString& type, const QByteArray& bytes) {
        auto data = std::make_unique<QMimeData>();
        data->setData(type, bytes);
        return data;
    };
    const auto imageObject = [](double ratio) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setDevicePixelRatio(ratio);
        auto data = std::make_unique<QMimeData>();
        data->setImageData(image);
        return data;
    };
    const QByteArray jpeg = withExifOrientation(*ImageCoding::encode(cornerImage(6, 4), ImageType::jpeg, 1, 0.9), 6);
    struct Case {
        const char* name;
        std::unique_ptr<QMimeData> data;
        double expected;
        QSize size;
    };
    Case cases[] = {
        {"PNG at 72 dpi", encoded(u"image/png"_s, solidPng(Qt::red, 40, 30, 1)), 1, {40, 30}},
        {"PNG at 107 dpi", encoded(u"image/png"_s, solidPng(Qt::red, 40, 30, 107.0 / 72)), 1, {40, 30}},
        {"PNG at 108 dpi", encoded(u"image/png"_s, solidPng(Qt::red, 40, 30, 1.5)), 2, {40, 30}},
        {"PNG at 144 dpi", encoded(u"image/png"_s, solidPng(Qt::red, 40, 30, 2)), 2, {40, 30}},
        {"JPEG turned upright", encoded(u"image/jpeg"_s, jpeg), 1, {4, 6}},
        {"image object at ratio 1", imageObject(1), 1, {40, 30}},
        {"image object at ratio 2", imageObject(2), 2, {40, 30}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PastedImage> pasted = PastedImage::read(*c.data);
        ASSERT_TRUE(pasted);
        EXPECT_EQ(pasted->pixelsPerPoint, c.expected);
        EXPECT_EQ(pasted->image.size(), c.size);
    }

    // Unreadable image data is passed over for a readable type.
    QMimeData mixed;
    mixed.setData(u"image/png"_s, "broken");
    mixed.setData(u"image/bmp"_s, pngOf(cornerImage(3, 2)));
    ASSERT_TRUE(PastedImage::read(mixed));
    EXPECT_EQ(PastedImage::read(mixed)->image.size(), QSize(3, 2));

    QMimeData none;
    none.setData(u"image/png"_s, "broken");
    none.setText(u"testo"_s);
    EXPECT_FALSE(PastedImage::read(none));
}
