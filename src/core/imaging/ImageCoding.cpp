#include "core/imaging/ImageCoding.h"

#include "core/imaging/HeifDecoder.h"
#include "core/imaging/JpegEncoder.h"
#include "core/imaging/PngEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <zlib.h>

#include <cmath>
#include <cstring>

namespace vorlix::ImageCoding {

namespace {

// QImageReader's limit is process-wide; raised once, before the first decode.
void raiseAllocationLimit()
{
    static const bool raised = [] {
        QImageReader::setAllocationLimit(decodeAllocationLimitMiB);
        return true;
    }();
    (void)raised;
}

QSize fitted(QSize size, int maxPixelSize)
{
    const int longer = std::max(size.width(), size.height());
    if (longer <= maxPixelSize)
        return size;
    const double k = double(maxPixelSize) / longer;
    return {std::max(1, int(std::lround(size.width() * k))), std::max(1, int(std::lround(size.height() * k)))};
}

bool startsWith(const QByteArray& data, const char* magic, qsizetype length)
{
    return data.size() >= length && std::memcmp(data.constData(), magic, std::size_t(length)) == 0;
}

const char pngSignature[] = "\x89PNG\r\n\x1a\n";

quint32 bigEndian32(const char* p) { return qFromBigEndian<quint32>(p); }
quint16 bigEndian16(const char* p) { return qFromBigEndian<quint16>(p); }

// Walks the PNG chunks before the pixels, calling visit(type, body, length) on each;
// stops when visit returns true, at IDAT or IEND, or at a chunk that overruns the data.
template <typename Visit>
void visitPngHeaderChunks(const QByteArray& data, Visit visit)
{
    if (!startsWith(data, pngSignature, 8))
        return;
    const char* bytes = data.constData();
    qsizetype pos = 8;
    while (data.size() - pos >= 12) {
        const quint32 length = bigEndian32(bytes + pos);
        const char* type = bytes + pos + 4;
        if (qsizetype(length) > data.size() - pos - 12)
            return;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return;
        if (visit(type, bytes + pos + 8, qsizetype(length)))
            return;
        pos += 12 + qsizetype(length);
    }
}

std::optional<double> jfifDotsPerInch(const QByteArray& data)
{
    if (!startsWith(data, "\xff\xd8", 2))
        return std::nullopt;
    const char* bytes = data.constData();
    qsizetype pos = 2;
    while (data.size() - pos >= 4) {
        if (uchar(bytes[pos]) != 0xff)
            return std::nullopt;
        const uchar marker = uchar(bytes[pos + 1]);
        if (marker == 0xff) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xda || marker == 0xd9) // start of scan, end of image
            return std::nullopt;
        if ((marker >= 0xd0 && marker <= 0xd7) || marker == 0x01) { // no length
            pos += 2;
            continue;
        }
        const qsizetype length = bigEndian16(bytes + pos + 2);
        if (length < 2 || length > data.size() - pos - 2)
            return std::nullopt;
        const char* body = bytes + pos + 4;
        if (marker == 0xe0 && length >= 16 && std::memcmp(body, "JFIF\0", 5) == 0) {
            const uchar unit = uchar(body[7]);
            const double x = bigEndian16(body + 8);
            if (unit == 1 && x > 0)
                return x;
            if (unit == 2 && x > 0)
                return double(std::lround(x * 2.54));
            return std::nullopt;
        }
        pos += 2 + length;
    }
    return std::nullopt;
}

// zlib data inflated, refused past 16 MiB (a text chunk is no place for more).
std::optional<QByteArray> inflated(QByteArrayView compressed)
{
    constexpr qsizetype limit = qsizetype(16) << 20;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = uInt(compressed.size());
    QByteArray out;
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (out.size() > limit)
            status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

// Whether every PNG chunk up to IEND lies within the data. libpng takes a chunk's
// length on trust and allocates it before reading, so a 100-byte file claiming a
// 512 MiB text chunk would cost that much memory before failing.
bool pngChunksWithinData(const QByteArray& data)
{
    const char* bytes = data.constData();
    qsizetype pos = 8;
    while (data.size() - pos >= 12) {
        const quint32 length = bigEndian32(bytes + pos);
        if (qsizetype(length) > data.size() - pos - 12)
            return false;
        if (std::memcmp(bytes + pos + 4, "IEND", 4) == 0)
            return true;
        pos += 12 + qsizetype(length);
    }
    return data.size() == pos; // cut at a chunk boundary: libpng reports the missing end
}

// The most pixels a picture of this data may have: within maximumDecodedPixels and
// within what the data can describe.
qint64 pixelLimit(const QByteArray& data)
{
    return std::min(maximumDecodedPixels, std::max(alwaysDecodablePixels, qint64(data.size()) * maximumPixelsPerByte));
}

// Sets the reader up and says whether it may read: the data must be sound enough for
// its decoder to allocate only what the data can fill, and the size its header gives
// must be known, within maximumDecodedPixels and within what the data can describe.
bool prepare(const QByteArray& data, QImageReader& reader, bool upright)
{
    raiseAllocationLimit();
    reader.setAutoTransform(upright);
    if (startsWith(data, pngSignature, 8) && !pngChunksWithinData(data))
        return false;
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return false;
    return qint64(size.width()) * size.height() <= pixelLimit(data);
}

// Decodes with a reader over the data, checked and set up by `prepare`; a null image
// when the data is refused.
template <class Read>
QImage readWith(const QByteArray& data, bool upright, Read read)
{
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    if (!prepare(data, reader, upright))
        return {};
    return read(reader);
}

QImage drawable(QImage image, bool hasAlpha)
{
    if (image.isNull())
        return image;
    const QImage::Format wanted = hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != wanted)
        image.convertTo(wanted);
    return image;
}

QImage drawable(QImage image)
{
    const bool hasAlpha = image.hasAlphaChannel();
    return drawable(std::move(image), hasAlpha);
}

} // namespace

QImage asDecoded(QImage image, const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    // The header alone says whether a decode keeps an alpha channel.
    const QImage::Format stored = QImageReader(&buffer).imageFormat();
    if (stored == QImage::Format_Invalid)
        return {};
    // A palette may carry transparency the header's format does not show.
    const QPixelFormat pixels = QImage::toPixelFormat(stored);
    const bool hasAlpha = pixels.alphaUsage() == QPixelFormat::UsesAlpha ||
                          (pixels.colorModel() == QPixelFormat::Indexed && image.hasAlphaChannel());
    return drawable(std::move(image), hasAlpha);
}

QString fileExtension(ImageType type)
{
    switch (type) {
    case ImageType::png:
        return QStringLiteral("png");
    case ImageType::jpeg:
        return QStringLiteral("jpeg");
    }
    return {};
}

std::optional<QByteArray> encode(const QImage& image, ImageType type, double pixelsPerPoint, double jpegQuality,
                                 const QString& description)
{
    const double dotsPerInch = std::isfinite(pixelsPerPoint) && pixelsPerPoint > 0 ? 72 * pixelsPerPoint : 72;
    switch (type) {
    case ImageType::png:
        return encodePng(image, dotsPerInch, description);
    case ImageType::jpeg: {
        const double quality = std::isfinite(jpegQuality) ? std::clamp(jpegQuality, 0.0, 1.0) : 0.9;
        return encodeJpeg(image, dotsPerInch, int(std::lround(quality * 100)));
    }
    }
    return std::nullopt;
}

QImage decode(const QByteArray& data, bool upright)
{
    // A HEIF picture always shows turned as it says: that is its pixels' meaning.
    if (HeifDecoder::isHeif(data))
        return drawable(HeifDecoder::decode(data, pixelLimit(data)));
    return readWith(data, upright, [](QImageReader& reader) { return drawable(reader.read()); });
}

QImage thumbnail(const QByteArray& data, int maxPixelSize, bool upright)
{
    if (maxPixelSize < 1)
        return {};
    if (HeifDecoder::isHeif(data))
        return drawable(scaledToFit(decode(data), maxPixelSize));
    return readWith(data, upright, [&](QImageReader& reader) {
        const QSize stored = reader.size();
        if (stored.isValid() && std::max(stored.width(), stored.height()) > maxPixelSize &&
            reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(fitted(stored, maxPixelSize));
        return drawable(scaledToFit(reader.read(), maxPixelSize));
    });
}

std::optional<QByteArray> encodedThumbnail(const QByteArray& data, int maxPixelSize)
{
    const QImage image = thumbnail(data, maxPixelSize, true);
    if (image.isNull())
        return std::nullopt;
    return encode(image, ImageType::png, 1, 0.9);
}

QImage scaledToFit(const QImage& image, int maxPixelSize)
{
    if (maxPixelSize < 1 || image.isNull())
        return {};
    const QSize size = fitted(image.size(), maxPixelSize);
    if (size == image.size())
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool hasFastThumbnails(const QByteArray& data) { return startsWith(data, "\xff\xd8\xff", 3); }

std::optional<double> dotsPerInch(const QByteArray& data)
{
    if (!startsWith(data, pngSignature, 8))
        return jfifDotsPerInch(data);
    std::optional<double> result;
    visitPngHeaderChunks(data, [&](const char* type, const char* body, qsizetype length) {
        if (std::memcmp(type, "pHYs", 4) != 0)
            return false;
        if (length == 9 && body[8] == 1) { // unit: metre
            const quint32 perMetre = bigEndian32(body);
            if (perMetre > 0)
                result = double(std::lround(perMetre * 0.0254));
        }
        return true;
    });
    return result;
}

std::optional<QString> description(const QByteArray& data)
{
    std::optional<QString> result;
    visitPngHeaderChunks(data, [&](const char* type, const char* body, qsizetype length) {
        const QByteArrayView chunk(body, length);
        const qsizetype keyEnd = chunk.indexOf('\0');
        if (keyEnd < 0 || chunk.first(keyEnd) != "Description")
            return false;
        const QByteArrayView rest = chunk.sliced(keyEnd + 1);
        if (std::memcmp(type, "tEXt", 4) == 0) {
            result = QString::fromLatin1(rest);
        } else if (std::memcmp(type, "zTXt", 4) == 0) {
            if (!rest.isEmpty() && rest[0] == 0)
                if (const auto text = inflated(rest.sliced(1)))
                    result = QString::fromLatin1(*text);
        } else if (std::memcmp(type, "iTXt", 4) == 0 && rest.size() >= 2) {
            // compression flag, method, language tag\0, translated keyword\0, text
            const bool compressed = rest[0] != 0;
            QByteArrayView tail = rest.sliced(2);
            for (int field = 0; field < 2; ++field) {
                const qsizetype end = tail.indexOf('\0');
                if (end < 0)
                    return false;
                tail = tail.sliced(end + 1);
            }
            if (!compressed)
                result = QString::fromUtf8(tail);
            else if (const auto text = inflated(tail))
                result = QString::fromUtf8(*text);
        }
        return result.has_value();
    });
    return result;
}

} // namespace vorlix::ImageCoding
