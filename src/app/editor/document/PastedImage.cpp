#include "app/editor/document/PastedImage.h"

#include "core/imaging/ImageCoding.h"

#include <QMimeData>
#include <QStringList>

#include <algorithm>

namespace vorlix {

namespace {

constexpr double pointsPerInch = 72;

QStringList imageFormatsPngFirst(const QMimeData& data)
{
    QStringList formats;
    for (const QString& format : data.formats())
        if (format.startsWith(u"image/"))
            formats << format;
    std::stable_partition(formats.begin(), formats.end(), [](const QString& f) { return f == u"image/png"; });
    return formats;
}

} // namespace

double PastedImage::pixelsPerPointFor(double pixelWidth, double pointWidth)
{
    return pointWidth > 0 && pixelWidth / pointWidth >= 1.5 ? 2 : 1;
}

std::optional<PastedImage> PastedImage::read(const QMimeData& data)
{
    for (const QString& format : imageFormatsPngFirst(data)) {
        const QByteArray bytes = data.data(format);
        QImage image = ImageCoding::decode(bytes, true);
        if (image.isNull())
            continue;
        const double dotsPerInch = ImageCoding::dotsPerInch(bytes).value_or(pointsPerInch);
        const double pointWidth = dotsPerInch > 0 ? image.width() * pointsPerInch / dotsPerInch : 0;
        const double density = pixelsPerPointFor(image.width(), pointWidth);
        return PastedImage{std::move(image), density};
    }
    if (data.hasImage()) {
        QImage image = qvariant_cast<QImage>(data.imageData());
        if (!image.isNull() && image.devicePixelRatio() > 0) {
            const double density = pixelsPerPointFor(image.width(), image.width() / image.devicePixelRatio());
            image.setDevicePixelRatio(1);
            return PastedImage{std::move(image), density};
        }
    }
    return std::nullopt;
}

} // namespace vorlix
