#include "core/imaging/PngEncoder.h"

#include <QColorSpace>
#include <QtEndian>

#include <png.h>
#include <zlib.h>

#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <vector>

namespace vorlix {

namespace {

void writeToByteArray(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushNothing(png_structp) {}

[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void ignoreWarning(png_structp, png_const_charp) {}

bool isFourBytesPerPixel(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied ||
           f == QImage::Format_RGBX8888 || f == QImage::Format_RGBA8888 || f == QImage::Format_RGBA8888_Premultiplied;
}

// Byte index of alpha inside a pixel of a four-byte format.
int alphaByte(QImage::Format f)
{
    const bool argbWord = f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
    if (argbWord)
        return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;
    return 3; // RGBA8888 formats are byte-ordered
}

bool allOpaque(const QImage& image)
{
    const int a = alphaByte(image.format());
    const qsizetype width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        uchar all = 0xff;
        for (qsizetype x = 0; x < width; ++x)
            all &= row[4 * x + a];
        if (all != 0xff)
            return false;
    }
    return true;
}

// The rows handed to libpng and the transformations libpng applies to them.
struct RowSource {
    QImage image; // four bytes per pixel
    int colorType = PNG_COLOR_TYPE_RGB;
    bool swapRedBlue = false;
    int strippedFiller = -1; // PNG_FILLER_BEFORE/AFTER: a byte of each pixel to leave out
};

RowSource rowSource(const QImage& input)
{
    const bool argbWord = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    QImage image = input;
    bool opaque = !image.hasAlphaChannel();
    if (!opaque) {
        if (!isFourBytesPerPixel(image.format()))
            image = image.convertToFormat(QImage::Format_ARGB32);
        opaque = allOpaque(image);
    }
    if (opaque) {
        if (!isFourBytesPerPixel(image.format()))
            image = image.convertToFormat(QImage::Format_RGB32);
        // An opaque premultiplied pixel equals its straight form: the bytes go as they are.
        const QImage::Format f = image.format();
        const bool rgbaBytes =
            f == QImage::Format_RGBX8888 || f == QImage::Format_RGBA8888 || f == QImage::Format_RGBA8888_Premultiplied;
        if (rgbaBytes)
            return {image, PNG_COLOR_TYPE_RGB, false, PNG_FILLER_AFTER};
        return {image, PNG_COLOR_TYPE_RGB, argbWord, argbWord ? PNG_FILLER_AFTER : PNG_FILLER_BEFORE};
    }
    if (image.format() != QImage::Format_RGBA8888)
        image = image.convertToFormat(QImage::Format_RGBA8888);
    return {image, PNG_COLOR_TYPE_RGB_ALPHA, false, -1};
}

bool isPrintableLatin1(const QString& text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!(u == '\n' || (u >= 0x20 && u <= 0x7e) || (u >= 0xa1 && u <= 0xff)))
            return false;
    }
    return true;
}

} // namespace

PngEncoderSettings PngEncoderSettings::fast() { return {PNG_FILTER_UP, 1, Z_RLE}; }

PngEncoderSettings PngEncoderSettings::thorough() { return {PNG_ALL_FILTERS, 6, Z_FILTERED}; }

namespace {

// What is written besides the pixels.
struct PngExtras {
    png_uint_32 dotsPerMetre = 0; // 0: no pHYs chunk
    png_text* text = nullptr;
    QByteArray icc;
};

// Writes the whole file; false when libpng reports an error. Caller-owned state only,
// so nothing the error jump could leave indeterminate lives in the frame of setjmp.
bool writePng(png_structp png, png_infop info, const RowSource& source, const std::vector<png_bytep>& rows,
              const PngExtras& extras, const PngEncoderSettings& settings, QByteArray& out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, writeToByteArray, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(source.image.width()),
                 static_cast<png_uint_32>(source.image.height()), 8, source.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filter);
    png_set_compression_level(png, settings.zlibLevel);
    png_set_compression_strategy(png, settings.zlibStrategy);
    png_set_compression_buffer_size(png, 1 << 18);
    if (extras.dotsPerMetre)
        png_set_pHYs(png, info, extras.dotsPerMetre, extras.dotsPerMetre, PNG_RESOLUTION_METER);
    if (!extras.icc.isEmpty())
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(extras.icc.constData()),
                     static_cast<png_uint_32>(extras.icc.size()));
    if (extras.text)
        png_set_text(png, info, extras.text, 1);
    png_write_info(png, info);

    if (source.swapRedBlue)
        png_set_bgr(png);
    if (source.strippedFiller >= 0)
        png_set_filler(png, 0, source.strippedFiller);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, info);
    return true;
}

} // namespace

std::optional<QByteArray> encodePng(const QImage& image, double dotsPerInch, const QString& description,
                                    const PngEncoderSettings& settings)
{
    if (image.isNull())
        return std::nullopt;

    const RowSource source = rowSource(image);
    std::vector<png_bytep> rows(static_cast<std::size_t>(source.image.height()));
    for (int y = 0; y < source.image.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(source.image.constScanLine(y));

    PngExtras extras;
    const double metres = std::round(dotsPerInch / 0.0254);
    if (metres >= 1 && metres <= 0x7fffffff)
        extras.dotsPerMetre = static_cast<png_uint_32>(metres);

    const bool latin1 = isPrintableLatin1(description);
    QByteArray textBytes = latin1 ? description.toLatin1() : description.toUtf8();
    png_text text{};
    text.compression = latin1 ? PNG_TEXT_COMPRESSION_NONE : PNG_ITXT_COMPRESSION_NONE;
    text.key = const_cast<png_charp>("Description");
    text.text = textBytes.data();
    if (latin1)
        text.text_length = static_cast<std::size_t>(textBytes.size());
    else
        text.itxt_length = static_cast<std::size_t>(textBytes.size());
    if (!description.isEmpty())
        extras.text = &text;

    const QColorSpace space = source.image.colorSpace();
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb))
        extras.icc = space.iccProfile();

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return std::nullopt;
    }
    QByteArray out;
    // Flat screenshots compress to a few per cent of their raw size.
    const std::size_t raw = std::size_t(source.image.width()) * std::size_t(source.image.height()) * 4;
    out.reserve(static_cast<qsizetype>(std::min<std::size_t>(raw / 8, std::size_t(64) << 20)));
    const bool ok = writePng(png, info, source, rows, extras, settings, out);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        return std::nullopt;
    return out;
}

} // namespace vorlix
