#include "core/imaging/Exporter.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/ImageCoding.h"
#include "core/render/LargeImage.h"
#include "core/render/Renderer.h"

#include <QColorSpace>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace Exporter {

namespace {

constexpr QImage::Format bitmapFormat = QImage::Format_ARGB32_Premultiplied;

} // namespace

QString failureMessage(RenderFailure failure)
{
    switch (failure) {
    case RenderFailure::emptyCanvas:
        return QStringLiteral("Il documento è vuoto: non c'è niente da esportare.");
    case RenderFailure::invalidSize:
        return QStringLiteral("Le dimensioni dell'immagine non sono valide.");
    case RenderFailure::tooLarge:
        return QStringLiteral("L'immagine sarebbe troppo grande per essere esportata.");
    case RenderFailure::outOfMemory:
        return QStringLiteral("Memoria insufficiente per creare l'immagine.");
    }
    return {};
}

double pixelsPerPoint(const DocumentModel& document, const ExportOptions& options)
{
    return exportPixelsPerPoint(document, options, canvasBounds(document));
}

std::optional<PixelSize> pixelSize(const Rect& bounds, double density)
{
    const double w = std::round(bounds.width() * density);
    const double h = std::round(bounds.height() * density);
    // Compared as doubles, so that no conversion of an absurd value happens.
    if (!std::isfinite(w) || !std::isfinite(h) || w < 1 || h < 1 || w > 1e15 || h > 1e15)
        return std::nullopt;
    return PixelSize{static_cast<std::int64_t>(w), static_cast<std::int64_t>(h)};
}

std::variant<QImage, RenderFailure> render(const DocumentModel& document, const ImageProviding& images,
                                           const ExportOptions& options)
{
    const Rect bounds = canvasBounds(document);
    if (!(bounds.width() > 0) || !(bounds.height() > 0))
        return RenderFailure::emptyCanvas;
    const double density = exportPixelsPerPoint(document, options, bounds);
    const auto size = pixelSize(bounds, density);
    if (!size)
        return RenderFailure::invalidSize;
    if (size->width > maximumPixelSide || size->height > maximumPixelSide ||
        size->width * size->height * 4 > maximumBitmapBytes)
        return RenderFailure::tooLarge;

    const int width = static_cast<int>(size->width);
    const int height = static_cast<int>(size->height);
    QImage image = largeImage(width, height, bitmapFormat);
    if (image.isNull())
        return RenderFailure::outOfMemory;
    image.setColorSpace(QColorSpace::SRgb);

    CanvasBackground background = options.background.value_or(document.background);
    if (imageType(options.format) == ImageType::jpeg) {
        // JPEG keeps no alpha: everything, a translucent background colour included, is
        // composed over opaque white.
        image.fill(Qt::white);
        if (std::holds_alternative<TransparentBackground>(background))
            background = ColorBackground{RGBAColor{1, 1, 1, 1}};
    } else {
        image.fill(Qt::transparent);
    }

    Renderer::Options drawOptions;
    drawOptions.backgroundOverride = background;

    // Each axis has its own factor, so the bounds fill the rounded pixel size exactly.
    const double sx = width / bounds.width();
    const double sy = height / bounds.height();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int top = 0; top < height; top += tileSide) {
        const int tileHeight = std::min(tileSide, height - top);
        for (int left = 0; left < width; left += tileSide) {
            const int tileWidth = std::min(tileSide, width - left);
            // A view of the tile's pixels inside the one bitmap.
            QImage tile(bits + top * stride + static_cast<qsizetype>(left) * 4, tileWidth, tileHeight, stride,
                        bitmapFormat);
            QPainter painter(&tile);
            painter.translate(-left, -top);
            painter.scale(sx, sy);
            painter.translate(-bounds.minX(), -bounds.minY());
            Renderer::draw(document, images, painter, drawOptions);
        }
    }
    return image;
}

std::optional<QImage> renderImage(const DocumentModel& document, const ImageProviding& images,
                                  const ExportOptions& options)
{
    auto result = render(document, images, options);
    if (auto* image = std::get_if<QImage>(&result))
        return std::move(*image);
    return std::nullopt;
}

std::optional<QByteArray> exportImage(const DocumentModel& document, const ImageProviding& images,
                                      const ExportOptions& options)
{
    const auto image = renderImage(document, images, options);
    if (!image)
        return std::nullopt;
    const double quality = std::visit(
        [](const auto& format) {
            if constexpr (std::is_same_v<std::decay_t<decltype(format)>, ExportOptions::Jpeg>)
                return format.quality;
            else
                return 0.9;
        },
        options.format);
    return ImageCoding::encode(*image, imageType(options.format), pixelsPerPoint(document, options), quality);
}

} // namespace Exporter

Exporter::PixelSize pixelSize(ExportSize size, const DocumentModel& document)
{
    ExportOptions options;
    options.resolution = resolution(size);
    const Rect bounds = canvasBounds(document);
    const double density = exportPixelsPerPoint(document, options, bounds);
    return {roundedInt64(bounds.width() * density), roundedInt64(bounds.height() * density)};
}

} // namespace vorlix
