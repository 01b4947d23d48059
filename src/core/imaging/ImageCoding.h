#pragma once
// The one place where image data is encoded (PNG or JPEG, with dots per inch and
// JPEG quality), decoded and reduced to thumbnails. Stateless: every function may be
// called from any thread.
//
// Encoded data is a QByteArray holding a whole file. Decoded images are QImages in
// RGB32 (opaque) or ARGB32_Premultiplied, fully decoded, so drawing never decodes.
// Failures give std::nullopt or a null QImage; nothing throws.

#include "core/model/ExportOptions.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vorlix {

namespace ImageCoding {

// Decoders refuse images whose pixels would need more than this many MiB; high
// enough for tall scrolled shots (3,000 × 30,000 RGBA is 344 MiB).
inline constexpr int decodeAllocationLimitMiB = 2048;
// Pictures with more pixels are refused from their header, before any pixel memory is
// taken: the decoded image (4 bytes a pixel) and the copy made while converting it to
// a drawable format must fit within the allocation limit together. 2^28 pixels, e.g.
// 8,192 × 32,768.
inline constexpr qint64 maximumDecodedPixels = (qint64(decodeAllocationLimitMiB) << 20) / 8;
// Nor may a picture claim more pixels than its data could describe. No format packs
// more than deflate on one-bit rows (about 8,300 pixels a byte), so a header claiming
// more than maximumPixelsPerByte for each byte of data is forged; some decoders (GIF)
// would fill the whole claimed canvas before finding the data short. Pictures up to
// alwaysDecodablePixels are taken whatever their size.
inline constexpr qint64 maximumPixelsPerByte = 16384;
inline constexpr qint64 alwaysDecodablePixels = qint64(4096) * 4096;

// The usual file extension of a type, without the dot: "png", "jpeg".
QString fileExtension(ImageType type);

// Encodes one image as `type`. Both axes record 72 × pixelsPerPoint dots per inch
// (PNG stores whole dots per metre, so 144 reads back as 143.99...). jpegQuality
// (0...1) is used by JPEG only. JPEG has no alpha: the image is flattened onto opaque
// white first, and colour is not subsampled (4:4:4) so coloured text stays sharp. A
// non-empty description is written as the PNG "Description" text (JPEG ignores it).
// Nothing for a null image or one the format cannot hold (JPEG above 65,500 pixels).
std::optional<QByteArray> encode(const QImage& image, ImageType type, double pixelsPerPoint, double jpegQuality,
                                 const QString& description = {});

// Decodes the first image of the data, as stored: the EXIF orientation is not applied
// (a panel carries it), unless `upright` asks for it. A HEIC or HEIF picture (the primary
// image) always comes turned and mirrored as its file says. Null when the data is no image,
// its header gives no size, one above maximumDecodedPixels or more pixels than the data
// could describe, or (PNG) a chunk claims more bytes than the data holds.
QImage decode(const QByteArray& data, bool upright = false);

// A downscaled copy of the data's first image whose longer side is maxPixelSize (never
// enlarged). JPEG is reduced while decoding; other formats are decoded whole. `upright`
// turns the picture by its EXIF orientation. Null when maxPixelSize is below 1 or
// `decode` would refuse the data.
QImage thumbnail(const QByteArray& data, int maxPixelSize, bool upright);

// The upright thumbnail of encoded data, encoded as PNG at 72 dots per inch.
std::optional<QByteArray> encodedThumbnail(const QByteArray& data, int maxPixelSize);

// The image, in the format `decode(data)` gives, when `data` was encoded from it
// without loss: RGB32 when the data holds no alpha channel, else ARGB32_Premultiplied.
// Null when the data's header is unreadable.
QImage asDecoded(QImage image, const QByteArray& data);

// The image reduced (area-averaged) so its longer side is maxPixelSize; the image
// itself when it is no larger. Null when maxPixelSize is below 1.
QImage scaledToFit(const QImage& image, int maxPixelSize);

// Whether the data's format can be decoded straight at a reduced size (JPEG), so a
// thumbnail costs far less than a full decode.
bool hasFastThumbnails(const QByteArray& data);

// The dots per inch recorded in the header of PNG (pHYs in dots per metre, rounded to
// whole dots per inch) or JPEG (JFIF density) data, reading no pixels. Nothing when
// the data records none or is neither format.
std::optional<double> dotsPerInch(const QByteArray& data);

// The PNG "Description" text of encoded data (a tEXt, zTXt or iTXt chunk before the
// pixels), reading no pixels. Nothing when there is none.
std::optional<QString> description(const QByteArray& data);

} // namespace ImageCoding

} // namespace vorlix
