#include "core/imaging/PngEncoder.h"
#include "core/imaging/ImageCoding.h"

#include <QColorSpace>
#include <QThreadPool>
#include <QtEndian>

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <atomic>
#include <cstring>
#include <optional>

using namespace vorlix;

namespace {

// A picture in `format` with flat runs, gradients and noise side by side, so every row
// filter meets both smooth and busy rows. Translucent pictures get every alpha, 0 and
// 255 included.
QImage picture(int width, int height, QImage::Format format, bool translucent)
{
    QImage image(width, height, QImage::Format_ARGB32);
    quint32 noise = 2463534242u;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int kind = (x / 9 + y / 7) % 3;
            const int r = kind == 0 ? 200 : kind == 1 ? (x + y) & 0xff : int(noise & 0xff);
            const int g = kind == 0 ? 30 : kind == 1 ? (3 * y) & 0xff : int((noise >> 8) & 0xff);
            const int b = kind == 0 ? 90 : kind == 1 ? (5 * x) & 0xff : int((noise >> 16) & 0xff);
            const int a = translucent ? int((noise >> 24) & 0xff) : 255;
            row[x] = qRgba(r, g, b, a);
        }
    }
    return image.convertToFormat(format);
}

// The pixels as libpng's reader gives them, straight RGBA; a null image (and a test
// failure) when libpng rejects the file, e.g. for a bad chunk CRC.
QImage decodeWithLibpng(const QByteArray& png)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.constData(), std::size_t(png.size()))) {
        ADD_FAILURE() << "libpng: " << image.message;
        return {};
    }
    image.format = PNG_FORMAT_RGBA;
    QImage pixels(int(image.width), int(image.height), QImage::Format_RGBA8888);
    if (!png_image_finish_read(&image, nullptr, pixels.bits(), int(pixels.bytesPerLine()), nullptr)) {
        ADD_FAILURE() << "libpng: " << image.message;
        png_image_free(&image);
        return {};
    }
    return pixels;
}

struct Chunk {
    QByteArray type;
    QByteArray body;
};

// Every chunk after the signature; a test failure for a chunk whose CRC is wrong.
std::vector<Chunk> chunksOf(const QByteArray& png)
{
    std::vector<Chunk> chunks;
    qsizetype pos = 8;
    while (pos + 12 <= png.size()) {
        const auto length = qsizetype(qFromBigEndian<quint32>(png.constData() + pos));
        if (pos + 12 + length > png.size()) {
            ADD_FAILURE() << "chunk overruns the file at " << pos;
            break;
        }
        const QByteArray typeAndBody = png.mid(pos + 4, 4 + length);
        const quint32 crc = qFromBigEndian<quint32>(png.constData() + pos + 8 + length);
        EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(typeAndBody.constData()), uInt(typeAndBody.size())), crc)
            << typeAndBody.left(4).constData() << " at " << pos;
        chunks.push_back({typeAndBody.left(4), typeAndBody.mid(4)});
        pos += 12 + length;
    }
    EXPECT_EQ(pos, png.size());
    return chunks;
}

// The IDAT data inflated as one zlib stream, which checks its header and its Adler-32;
// nothing when it is not one complete stream with no bytes after it.
std::optional<qsizetype> inflatedPixelBytes(const QByteArray& png)
{
    QByteArray stream;
    for (const Chunk& chunk : chunksOf(png))
        if (chunk.type == "IDAT")
            stream += chunk.body;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(stream.data());
    z.avail_in = uInt(stream.size());
    std::vector<Bytef> sink(1 << 20);
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = sink.data();
        z.avail_out = uInt(sink.size());
        rc = inflate(&z, Z_NO_FLUSH);
    }
    const qsizetype total = qsizetype(z.total_out);
    const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return whole ? std::optional(total) : std::nullopt;
}

std::optional<QPoint> firstDifference(const QImage& a, const QImage& b)
{
    const auto rowBytes = std::size_t(a.bytesPerLine());
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    return QPoint(x, y);
    return std::nullopt;
}

// The first decoded pixel that is not the input's. Premultiplied inputs are compared
// premultiplied: several straight colours premultiply to the same pixel, and Qt's own
// conversions do not always pick the same one.
std::optional<QPoint> differenceFromInput(const QImage& decoded, const QImage& input)
{
    const bool premultiplied = input.pixelFormat().premultiplied() == QPixelFormat::Premultiplied;
    const QImage::Format common = premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGBA8888;
    if (decoded.size() != input.size())
        return QPoint(-1, -1);
    return firstDifference(decoded.convertToFormat(common), input.convertToFormat(common));
}

PngEncoderSettings withFilter(int filter, int level = 1, int strategy = Z_RLE, int maxThreads = 3)
{
    return {filter, level, strategy, maxThreads};
}

} // namespace

// Pictures big enough to be cut into bands (on three threads, or as many as the pool
// has) decode to the very pixels given, under every filter: the first row of each band
// is filtered against the real row above it.
TEST(PngEncoder, BandsDecodeToTheSamePixels)
{
    // Filtered rows of 1 + 3 × 341 bytes: 1024 rows hold exactly two minimum bands.
    const int thresholdWidth = int((pngMinimumBandBytes / 512 - 1) / 3);
    ASSERT_EQ((1 + 3 * thresholdWidth) * 512, pngMinimumBandBytes);
    struct Case {
        const char* name;
        int width;
        int height;
        QImage::Format format;
        bool translucent;
    };
    const Case cases[] = {
        {"opaque, rows not a multiple of the bands", 700, 997, QImage::Format_RGB32, false},
        {"opaque with an alpha channel", 640, 903, QImage::Format_ARGB32_Premultiplied, false},
        {"opaque RGBX bytes", 520, 1001, QImage::Format_RGBX8888, false},
        {"opaque RGB888", 600, 905, QImage::Format_RGB888, false},
        {"translucent premultiplied", 512, 701, QImage::Format_ARGB32_Premultiplied, true},
        {"translucent straight", 480, 733, QImage::Format_ARGB32, true},
        {"translucent RGBA bytes", 500, 699, QImage::Format_RGBA8888, true},
        {"translucent premultiplied RGBA bytes", 470, 731, QImage::Format_RGBA8888_Premultiplied, true},
        {"grey, converted first", 900, 1200, QImage::Format_Grayscale8, false},
        {"one row", 250'000, 1, QImage::Format_RGB32, false},
        {"one column", 1, 400'000, QImage::Format_ARGB32, true},
        {"exactly two minimum bands", thresholdWidth, 1024, QImage::Format_RGB32, false},
        {"one row short of two bands", thresholdWidth, 1023, QImage::Format_RGB32, false},
        {"small", 7, 5, QImage::Format_ARGB32, true},
    };
    const PngEncoderSettings settingsList[] = {
        PngEncoderSettings::fast(),
        withFilter(PNG_FILTER_UP),
        withFilter(PNG_FILTER_SUB, 1, Z_DEFAULT_STRATEGY),
        withFilter(PNG_FILTER_AVG, 2, Z_FILTERED),
        withFilter(PNG_FILTER_PAETH, 1, Z_RLE, 5),
        withFilter(PNG_ALL_FILTERS, 6, Z_FILTERED, 4),
        withFilter(PNG_FILTER_PAETH, 1, Z_RLE, 1),
    };
    for (const Case& c : cases) {
        const QImage input = picture(c.width, c.height, c.format, c.translucent);
        const bool opaque = !c.translucent;
        const qsizetype filteredBytes = qsizetype(c.height) * (1 + qsizetype(c.width) * (opaque ? 3 : 4));
        for (const PngEncoderSettings& s : settingsList) {
            SCOPED_TRACE(testing::Message() << c.name << ", filter " << s.filter << " level " << s.zlibLevel
                                            << " threads " << s.maxThreads);
            const auto png = encodePng(input, 96, {}, s);
            ASSERT_TRUE(png);
            EXPECT_EQ(int(uchar(png->at(25))), opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA);
            EXPECT_EQ(inflatedPixelBytes(*png), filteredBytes);
            const QImage strict = decodeWithLibpng(*png);
            ASSERT_EQ(strict.size(), input.size());
            EXPECT_EQ(differenceFromInput(strict, input), std::nullopt);
            EXPECT_EQ(differenceFromInput(QImage::fromData(*png), input), std::nullopt);
        }
    }
}

TEST(PngEncoder, HeaderChunksPrecedeThePixelsOfABandedPicture)
{
    QImage input = picture(1600, 1000, QImage::Format_RGB32, false);
    input.setColorSpace(QColorSpace::DisplayP3);
    const QString description = u"Schermata — «Perù»"_qs;
    const auto png = encodePng(input, 144, description);
    ASSERT_TRUE(png);

    std::vector<QByteArray> types;
    for (const Chunk& chunk : chunksOf(*png))
        if (types.empty() || types.back() != chunk.type)
            types.push_back(chunk.type);
    const std::vector<QByteArray> expected = {"IHDR", "iCCP", "pHYs", "iTXt", "IDAT", "IEND"};
    EXPECT_EQ(types, expected);
    EXPECT_EQ(ImageCoding::description(*png), description);
    EXPECT_EQ(ImageCoding::dotsPerInch(*png), 144);
    const QImage decoded = QImage::fromData(*png);
    EXPECT_EQ(decoded.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
    EXPECT_EQ(decoded.dotsPerMeterX(), 5669);
    EXPECT_EQ(differenceFromInput(decodeWithLibpng(*png), input), std::nullopt);
}

TEST(PngEncoder, SettingsZlibRejectsGiveNothing)
{
    const QImage input = picture(800, 800, QImage::Format_RGB32, false);
    EXPECT_EQ(encodePng(input, 72, {}, withFilter(PNG_FILTER_UP, 12)), std::nullopt);
    EXPECT_EQ(encodePng(input, 72, {}, withFilter(PNG_FILTER_UP, 1, 99)), std::nullopt);
}

// Encoders running on every pool thread at once still finish: each compresses its own
// bands rather than waiting for pool threads that are all taken.
TEST(PngEncoder, EncodesOnEveryPoolThreadAtOnce)
{
    const QImage input = picture(1200, 900, QImage::Format_RGB32, false);
    const QByteArray reference = *encodePng(input, 72, {});
    QThreadPool* pool = QThreadPool::globalInstance();
    const int encoders = pool->maxThreadCount() * 2;
    std::atomic<int> decodedAlike{0};
    for (int i = 0; i < encoders; ++i)
        pool->start([&] {
            const auto png = encodePng(input, 72, {});
            if (png && QImage::fromData(*png) == QImage::fromData(reference))
                ++decodedAlike;
        });
    ASSERT_TRUE(pool->waitForDone(60'000));
    EXPECT_EQ(decodedAlike, encoders);
}
