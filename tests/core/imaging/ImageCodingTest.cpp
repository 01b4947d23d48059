#include "core/imaging/ImageCoding.h"
#include "core/imaging/JpegEncoder.h"
#include "core/imaging/PngEncoder.h"

#include "support/HeifFixtures.h"
#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstdlib>

using namespace vorlix;

namespace {

// Byte 25 of a PNG file: the IHDR colour type (2 RGB, 6 RGBA).
int pngColorType(const QByteArray& png) { return png.size() > 25 ? int(uchar(png[25])) : -1; }

bool near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

// A 5 × 3 picture of distinct colours in the format given; translucent pixels when the
// format has alpha and `translucent` is set.
QImage sample(QImage::Format format, bool translucent)
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixelColor(x, y, QColor(40 * x + 10, 100 + 50 * y, 250 - 30 * x, translucent ? 40 * x + 90 : 255));
    return image.convertToFormat(format);
}

// libpng output into the QByteArray given as its io pointer.
void appendToByteArray(png_structp png, png_bytep data, size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

} // namespace

TEST(ImageCoding, PngKeepsThePixelsOfEveryInputFormat)
{
    struct Case {
        QImage::Format format;
        bool translucent;
        int colorType;
    };
    const Case cases[] = {
        {QImage::Format_RGB32, false, 2},
        {QImage::Format_ARGB32, false, 2}, // alpha channel, all opaque: written as RGB
        {QImage::Format_ARGB32, true, 6},
        {QImage::Format_ARGB32_Premultiplied, true, 6},
        {QImage::Format_RGBA8888, true, 6},
        {QImage::Format_RGBA8888_Premultiplied, false, 2},
        {QImage::Format_RGBX8888, false, 2},
        {QImage::Format_RGB888, false, 2},
        {QImage::Format_Grayscale8, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << int(c.format) << " translucent " << c.translucent);
        const QImage input = sample(c.format, c.translucent);
        const auto png = ImageCoding::encode(input, ImageType::png, 1, 0.9);
        ASSERT_TRUE(png);
        EXPECT_EQ(pngColorType(*png), c.colorType);
        const QImage decoded = ImageCoding::decode(*png);
        ASSERT_EQ(decoded.size(), input.size());
        EXPECT_EQ(decoded.format(), c.colorType == 6 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        // Premultiplied storage rounds the colour of faint pixels.
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_PRED3(near, decoded.pixelColor(x, y), input.pixelColor(x, y), c.translucent ? 4 : 0)
                    << x << "," << y;
    }
}

TEST(ImageCoding, DotsPerInchFollowThePixelsPerPoint)
{
    struct Case {
        ImageType type;
        double pixelsPerPoint;
        double dotsPerInch;
    };
    const Case cases[] = {
        {ImageType::png, 1, 72},   {ImageType::png, 2, 144}, {ImageType::png, 3, 216}, {ImageType::jpeg, 1, 72},
        {ImageType::jpeg, 2, 144}, {ImageType::png, 0, 72}, // no meaningful density: the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.type) << " @" << c.pixelsPerPoint);
        const auto data = ImageCoding::encode(test::cornerImage(4, 4), c.type, c.pixelsPerPoint, 0.9);
        ASSERT_TRUE(data);
        EXPECT_EQ(ImageCoding::dotsPerInch(*data), c.dotsPerInch);
        // Other readers see the same density (PNG: whole dots per metre).
        EXPECT_NEAR(ImageCoding::decode(*data).dotsPerMeterX(), c.dotsPerInch / 0.0254, 1);
    }
    EXPECT_EQ(ImageCoding::dotsPerInch(*encodePng(test::cornerImage(2, 2), 0, {})), std::nullopt);
    EXPECT_EQ(ImageCoding::dotsPerInch("not an image"), std::nullopt);
}

TEST(ImageCoding, PngDescriptionIsWrittenAndRead)
{
    const QString texts[] = {u"Schermata 2024-05-01 alle 10.00.00"_qs, u"Città: «Perù»\nseconda riga"_qs,
                             u"Ελληνικά и кириллица ✓"_qs};
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        const auto png = ImageCoding::encode(test::cornerImage(3, 3), ImageType::png, 2, 0.9, text);
        ASSERT_TRUE(png);
        EXPECT_EQ(ImageCoding::description(*png), text);
        EXPECT_FALSE(ImageCoding::decode(*png).isNull());
    }
    EXPECT_EQ(ImageCoding::description(*ImageCoding::encode(test::cornerImage(3, 3), ImageType::png, 1, 0.9)),
              std::nullopt);
}

TEST(ImageCoding, DescriptionIsReadFromEveryKindOfTextChunk)
{
    const QString text = u"Finestra «Editor» — ✓ riga 1\nriga 2"_qs;
    for (const int compression :
         {PNG_TEXT_COMPRESSION_NONE, PNG_TEXT_COMPRESSION_zTXt, PNG_ITXT_COMPRESSION_NONE, PNG_ITXT_COMPRESSION_zTXt}) {
        SCOPED_TRACE(compression);
        const bool international = compression == PNG_ITXT_COMPRESSION_NONE || compression == PNG_ITXT_COMPRESSION_zTXt;
        const QString expected = international ? text : QString::fromLatin1(text.toLatin1());
        QByteArray file;
        QByteArray bytes = international ? text.toUtf8() : text.toLatin1();
        png_text chunks[2]{};
        chunks[0].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[0].key = const_cast<char*>("Author");
        chunks[0].text = const_cast<char*>("x");
        chunks[0].text_length = 1;
        chunks[1].compression = compression;
        chunks[1].key = const_cast<char*>("Description");
        chunks[1].text = bytes.data();
        (international ? chunks[1].itxt_length : chunks[1].text_length) = size_t(bytes.size());
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &file, appendToByteArray, nullptr);
        png_set_IHDR(png, info, 1, 1, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_text(png, info, chunks, 2);
        png_write_info(png, info);
        png_byte pixel = 0;
        png_write_row(png, &pixel);
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        EXPECT_EQ(ImageCoding::description(file), expected);
    }
}

TEST(ImageCoding, JpegQualityIsPassedAndPngIgnoresIt)
{
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
    const auto fine = ImageCoding::encode(image, ImageType::jpeg, 1, 0.9);
    const auto coarse = ImageCoding::encode(image, ImageType::jpeg, 1, 0.3);
    ASSERT_TRUE(fine && coarse);
    EXPECT_GT(fine->size(), coarse->size() * 3 / 2);
    EXPECT_EQ(ImageCoding::encode(image, ImageType::png, 1, 0.9), ImageCoding::encode(image, ImageType::png, 1, 0.1));
}

TEST(ImageCoding, JpegKeepsThinColouredStrokesSharp)
{
    // With 4:2:0 subsampling a one-pixel red line on white comes back pink.
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 32; ++y)
        image.setPixelColor(15, y, Qt::red);
    const QImage decoded = ImageCoding::decode(*ImageCoding::encode(image, ImageType::jpeg, 1, 0.9));
    const QColor line = decoded.pixelColor(15, 16);
    EXPECT_GT(line.red(), 220);
    EXPECT_LT(line.green(), 50);
    EXPECT_LT(line.blue(), 50);
}

TEST(ImageCoding, JpegFlattensAlphaOntoWhite)
{
    struct Case {
        QColor pixel;
        QColor expected;
    };
    const Case cases[] = {
        {QColor(0, 0, 0, 0), QColor(255, 255, 255)},         {QColor(255, 0, 0, 0), QColor(255, 255, 255)},
        {QColor(255, 255, 255, 128), QColor(255, 255, 255)}, {QColor(0, 0, 0, 128), QColor(127, 127, 127)},
        {QColor(0, 0, 255, 255), QColor(0, 0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixel.name(QColor::HexArgb).toStdString());
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(c.pixel);
        EXPECT_EQ(flattenedOntoWhite(image).pixelColor(3, 3), c.expected);
        const QImage decoded = ImageCoding::decode(*ImageCoding::encode(image, ImageType::jpeg, 1, 0.9));
        EXPECT_PRED3(near, decoded.pixelColor(8, 8), c.expected, 3);
    }
}

TEST(ImageCoding, UnencodableAndUndecodableInputGivesNothing)
{
    EXPECT_EQ(ImageCoding::encode(QImage(), ImageType::png, 1, 0.9), std::nullopt);
    EXPECT_EQ(ImageCoding::encode(QImage(), ImageType::jpeg, 1, 0.9), std::nullopt);
    QImage tooWide(65'536, 1, QImage::Format_RGB32);
    tooWide.fill(Qt::black);
    EXPECT_EQ(ImageCoding::encode(tooWide, ImageType::jpeg, 1, 0.9), std::nullopt);

    const QByteArray png = *ImageCoding::encode(test::cornerImage(8, 8), ImageType::png, 1, 0.9);
    for (const QByteArray& bad : {QByteArray(), QByteArray("not an image"), png.left(png.size() / 2)}) {
        SCOPED_TRACE(bad.size());
        EXPECT_TRUE(ImageCoding::decode(bad).isNull());
        EXPECT_TRUE(ImageCoding::thumbnail(bad, 4, false).isNull());
        EXPECT_EQ(ImageCoding::encodedThumbnail(bad, 4), std::nullopt);
    }
    EXPECT_TRUE(ImageCoding::thumbnail(png, 0, false).isNull());
}

TEST(ImageCoding, ThumbnailsFitTheLongerSideAndTurnOnlyWhenUpright)
{
    // EXIF 6: stored 40 × 20, upright 20 × 40; the stored top-left (red) ends top-right.
    const QByteArray turned =
        test::withExifOrientation(*ImageCoding::encode(test::cornerImage(40, 20), ImageType::jpeg, 1, 0.95), 6);
    const QByteArray png = *ImageCoding::encode(test::cornerImage(40, 20), ImageType::png, 1, 0.9);

    EXPECT_EQ(ImageCoding::decode(turned).size(), QSize(40, 20));
    EXPECT_EQ(ImageCoding::decode(turned, true).size(), QSize(20, 40));
    struct Case {
        const QByteArray* data;
        int max;
        bool upright;
        QSize expected;
    };
    const Case cases[] = {
        {&turned, 10, false, {10, 5}}, {&turned, 10, true, {5, 10}}, {&turned, 100, true, {20, 40}},
        {&png, 10, false, {10, 5}},    {&png, 40, false, {40, 20}},  {&png, 1, false, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.max << " upright " << c.upright);
        EXPECT_EQ(ImageCoding::thumbnail(*c.data, c.max, c.upright).size(), c.expected);
    }
    const QImage upright = ImageCoding::thumbnail(turned, 40, true);
    EXPECT_GT(upright.pixelColor(19, 0).red(), 180);

    const auto encoded = ImageCoding::encodedThumbnail(turned, 10);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(pngColorType(*encoded), 2);
    EXPECT_EQ(ImageCoding::dotsPerInch(*encoded), 72);
    EXPECT_EQ(ImageCoding::decode(*encoded).size(), QSize(5, 10));
}

TEST(ImageCoding, HeicPicturesDecodeTurnedAsTheirFilesSay)
{
    // 64 x 32, blue on the left, orange on the right; the turned file shows it a quarter
    // turn clockwise: 32 x 64, blue on top.
    QImage halves(64, 32, QImage::Format_RGB32);
    halves.fill(QColor(30, 80, 160));
    for (int y = 0; y < 32; ++y)
        for (int x = 32; x < 64; ++x)
            halves.setPixelColor(x, y, QColor(240, 160, 40));
    const QByteArray plain = test::encodedHeic(halves);
    const QByteArray turned = test::encodedHeic(halves, heif_orientation_rotate_90_cw);
    ASSERT_FALSE(plain.isEmpty());
    ASSERT_FALSE(turned.isEmpty());
    const auto near = [](QColor actual, QColor expected) {
        return std::abs(actual.red() - expected.red()) <= 12 && std::abs(actual.green() - expected.green()) <= 12 &&
               std::abs(actual.blue() - expected.blue()) <= 12;
    };

    const QImage shown = ImageCoding::decode(plain);
    ASSERT_EQ(shown.size(), QSize(64, 32));
    EXPECT_EQ(shown.format(), QImage::Format_RGB32);
    EXPECT_TRUE(near(shown.pixelColor(8, 16), QColor(30, 80, 160)));
    EXPECT_TRUE(near(shown.pixelColor(56, 16), QColor(240, 160, 40)));
    for (const bool upright : {false, true}) {
        SCOPED_TRACE(upright);
        const QImage standing = ImageCoding::decode(turned, upright);
        ASSERT_EQ(standing.size(), QSize(32, 64));
        EXPECT_TRUE(near(standing.pixelColor(16, 8), QColor(30, 80, 160)));
        EXPECT_TRUE(near(standing.pixelColor(16, 56), QColor(240, 160, 40)));
    }
    EXPECT_EQ(ImageCoding::thumbnail(turned, 16, false).size(), QSize(8, 16));

    EXPECT_TRUE(ImageCoding::decode(plain.left(plain.size() / 2)).isNull());
    EXPECT_TRUE(ImageCoding::decode(plain.left(40)).isNull());
}

TEST(ImageCoding, TallScrolledShotsDecode)
{
    // 3,000 × 30,000 RGB decodes to 344 MiB, above Qt's default reader limit. Written a
    // row at a time so the test holds only the decoded copy.
    constexpr png_uint_32 width = 3000;
    constexpr png_uint_32 height = 30000;
    QByteArray file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, appendToByteArray, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    std::vector<png_byte> row(width * 3, 200);
    for (png_uint_32 y = 0; y < height; ++y) {
        row[0] = png_byte(y % 256);
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);

    const QImage decoded = ImageCoding::decode(file);
    ASSERT_EQ(decoded.size(), QSize(int(width), int(height)));
    EXPECT_EQ(decoded.pixelColor(0, int(height) - 1), QColor((height - 1) % 256, 200, 200));
    EXPECT_EQ(ImageCoding::thumbnail(file, 1000, false).size(), QSize(100, 1000));
}

TEST(ImageCoding, HeaderReadersStopAtChunksThatOverrunTheData)
{
    const QByteArray png = *ImageCoding::encode(test::cornerImage(4, 4), ImageType::png, 2, 0.9, u"testo"_qs);
    const QByteArray jpeg = *ImageCoding::encode(test::cornerImage(4, 4), ImageType::jpeg, 2, 0.9);
    QByteArray overlongPng = png;
    overlongPng.replace(33, 4, QByteArray("\x7f\xff\xff\xff", 4)); // the chunk after IHDR
    QByteArray overlongJpeg = jpeg;
    overlongJpeg.replace(4, 2, QByteArray("\xff\xff", 2)); // the JFIF segment's length
    for (const QByteArray& data : {overlongPng, png.left(40), overlongJpeg, jpeg.left(10)}) {
        SCOPED_TRACE(data.size());
        EXPECT_EQ(ImageCoding::dotsPerInch(data), std::nullopt);
        EXPECT_EQ(ImageCoding::description(data), std::nullopt);
    }
}

namespace {

QByteArray pngChunk(const char* type, const QByteArray& body)
{
    QByteArray out;
    const auto append32 = [&out](quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((v >> shift) & 0xff));
    };
    append32(quint32(body.size()));
    const QByteArray typed = QByteArray(type, 4) + body;
    out.append(typed);
    append32(quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
    return out;
}

// A PNG whose IHDR claims width × height RGB pixels, with a few bytes of pixel data.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray ihdr;
    for (const quint32 v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            ihdr.append(char((v >> shift) & 0xff));
    ihdr.append(QByteArray("\x08\x02\x00\x00\x00", 5));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) +
           pngChunk("IDAT", QByteArray::fromHex("789c636000000001000100")) + pngChunk("IEND", {});
}

} // namespace

TEST(ImageCoding, HostileHeadersAreRefusedBeforeAnyPixelMemory)
{
    struct Case {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        // 24 × 16 PNG whose text chunk claims 512 MiB in a 102-byte file: libpng used to
        // allocate the claimed length before finding the data short.
        {"text chunk past the end",
         QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000018000000100802000000834628c200000009704859"
                             "7300000b1300000b1301009a9f1820000017744558744465736372697074696f6e00446573ffd8ff"
                             "ffff8787744587ffffdf8728878779a24944422c6082")},
        // 81-byte GIF claiming an 11308 × 11308 canvas, which the GIF reader used to fill
        // (half a GiB) before finding no pixels.
        {"GIF canvas far beyond its data",
         QByteArray::fromHex("4749463839612c2c2c2c2c2c2c2c2c2c2c2c2c2c2c2cd8ff01ffff01ff01ffffd4ffff01ff01ffff"
                             "d4ffff01fcff01ff2c2c2c2c2c2c2c2c2c2c2c2c2c2c2c2cffd4ffff01ff01ffffd4ffff01ff01ff"
                             "f6")},
        {"60000 x 60000 PNG", pngClaiming(60'000, 60'000)},
        {"20000 x 20000 PNG, within Qt's limit", pngClaiming(20'000, 20'000)},
        {"60000 x 60000 GIF", QByteArray::fromHex("474946383961"
                                                  "60ea60ea"
                                                  "000000"
                                                  "2c00000000"
                                                  "60ea60ea"
                                                  "00"
                                                  "02024c01003b")},
        {"PNG cut inside a chunk header", pngClaiming(4, 4).left(8 + 25 + 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(ImageCoding::decode(c.data).isNull());
        EXPECT_TRUE(ImageCoding::thumbnail(c.data, 64, true).isNull());
    }
    // The limit sits well above tall scrolled shots.
    EXPECT_GE(ImageCoding::maximumDecodedPixels, qint64(8192) * 32768);
}
