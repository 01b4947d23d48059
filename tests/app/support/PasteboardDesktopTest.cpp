// Pictures put on the clipboard, read back by another program through the real X clipboard.

#include "app/support/Pasteboard.h"
#include "support/ImageFixtures.h"
#include "support/desktop/DesktopTools.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

QImage picture()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 220));
    for (int x = 0; x < 40; ++x)
        image.setPixelColor(x, x % 30, QColor(250, 160, 60));
    return image;
}

} // namespace

TEST(PasteboardOnX11, AnotherProgramReadsThePNGByteForByteAndOtherTypesFromIt)
{
    // Text after the PNG's end: readers get exactly the bytes written, not a re-encoding.
    const QByteArray png = pngOf(picture()) + QByteArray("trailing bytes");
    const QByteArray tiff("II*\0not decoded by anyone", 25);
    Pasteboard::copyPNG(png, tiff, std::nullopt, nullptr);

    const std::optional<QByteArray> readPNG = readClipboard(u"image/png"_s);
    ASSERT_TRUE(readPNG.has_value());
    EXPECT_EQ(*readPNG, png);
    EXPECT_EQ(readClipboard(u"image/tiff"_s), tiff);

    // A type we did not write is made from the picture on request.
    const std::optional<QByteArray> bmp = readClipboard(u"image/bmp"_s);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(QImage::fromData(*bmp, "BMP").convertToFormat(QImage::Format_RGB32), picture());
}
