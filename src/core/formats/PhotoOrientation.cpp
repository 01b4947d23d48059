#include "core/formats/PhotoOrientation.h"

#include "core/imaging/HeifDecoder.h"
#include "core/imaging/ImageCoding.h"

#include <QBuffer>
#include <QImageReader>

namespace vorlix::PhotoOrientation {

namespace {

// Qt reports the EXIF orientation as the transformation that makes the picture upright.
int exifOrientation(QImageIOHandler::Transformations t)
{
    switch (int(t)) {
    case QImageIOHandler::TransformationMirror:
        return 2;
    case QImageIOHandler::TransformationRotate180:
        return 3;
    case QImageIOHandler::TransformationFlip:
        return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return 5;
    case QImageIOHandler::TransformationRotate90:
        return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return 7;
    case QImageIOHandler::TransformationRotate270:
        return 8;
    default:
        return 1;
    }
}

} // namespace

PanelOrientation panelOrientation(int exif)
{
    switch (exif) {
    case 2:
        return {0, true};
    case 3:
        return {2, false};
    case 4:
        return {2, true};
    case 5:
        return {1, true};
    case 6:
        return {1, false};
    case 7:
        return {3, true};
    case 8:
        return {3, false};
    default:
        return PanelOrientation::identity();
    }
}

std::optional<Properties> properties(const QByteArray& data)
{
    // A HEIF picture decodes already turned, and records no density.
    if (HeifDecoder::isHeif(data)) {
        const std::optional<QSize> size = HeifDecoder::size(data);
        if (!size)
            return std::nullopt;
        return Properties{PanelOrientation::identity(), {double(size->width()), double(size->height())}, 1};
    }
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QSize size = reader.size(); // header only
    if (!reader.canRead() || !size.isValid())
        return std::nullopt;
    Properties result;
    result.orientation = panelOrientation(exifOrientation(reader.transformation()));
    result.pixelSize = {double(size.width()), double(size.height())};
    result.pixelsPerPoint = ImageCoding::dotsPerInch(data).value_or(0) >= 144 ? 2 : 1;
    return result;
}

PanelOrientation orientation(const QByteArray& data)
{
    if (HeifDecoder::isHeif(data))
        return PanelOrientation::identity();
    const std::optional<Properties> read = properties(data);
    return read ? read->orientation : PanelOrientation::identity();
}

} // namespace vorlix::PhotoOrientation
