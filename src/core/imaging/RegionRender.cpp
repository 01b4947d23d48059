#include "core/imaging/RegionRender.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "core/model/ExportOptions.h"
#include "core/render/LargeImage.h"
#include "core/render/Renderer.h"

#include <QColorSpace>
#include <QPainter>

namespace vorlix {

std::optional<AlignedRegion> renderAlignedRegion(const DocumentModel& doc, const Rect& rect,
                                                 const ImageProviding& images)
{
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    options.background = ColorBackground{RGBAColor::white()};
    const Rect bounds = canvasBounds(doc);
    const auto size = Exporter::pixelSize(bounds, Exporter::pixelsPerPoint(doc, options));
    if (!size)
        return std::nullopt;
    const double sx = size->width / bounds.width();
    const double sy = size->height / bounds.height();

    const Rect r = rect.intersection(bounds);
    if (r.isNull() || r.width() < 1 || r.height() < 1)
        return std::nullopt;
    const Rect pixels =
        Rect((r.minX() - bounds.minX()) * sx, (r.minY() - bounds.minY()) * sx, r.width() * sx, r.height() * sx)
            .integral()
            .intersection(Rect(0, 0, double(size->width), double(size->height)));
    if (pixels.isEmpty() || pixels.width() * pixels.height() * 4 > double(Exporter::maximumBitmapBytes))
        return std::nullopt;

    QImage image = largeImage(static_cast<int>(pixels.width()), static_cast<int>(pixels.height()),
                              QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.setColorSpace(QColorSpace::SRgb);
    image.fill(Qt::white);
    Renderer::Options drawOptions;
    drawOptions.backgroundOverride = options.background;
    const int width = image.width();
    const int height = image.height();
    for (int top = 0; top < height; top += Exporter::tileSide) {
        for (int left = 0; left < width; left += Exporter::tileSide) {
            // A view of the tile inside the one bitmap, with the whole export's mapping
            // moved so that the region's pixels land at the tile's origin.
            QImage tile(image.bits() + top * image.bytesPerLine() + qsizetype(left) * 4,
                        std::min(Exporter::tileSide, width - left), std::min(Exporter::tileSide, height - top),
                        image.bytesPerLine(), image.format());
            QPainter painter(&tile);
            painter.translate(-pixels.minX() - left, -pixels.minY() - top);
            painter.scale(sx, sy);
            painter.translate(-bounds.minX(), -bounds.minY());
            Renderer::draw(doc, images, painter, drawOptions);
        }
    }
    const Rect covered(bounds.minX() + pixels.minX() / sx, bounds.minY() + pixels.minY() / sx, pixels.width() / sx,
                       pixels.height() / sx);
    return AlignedRegion{std::move(image), covered, sx};
}

std::optional<QImage> renderRegion(const DocumentModel& doc, const Rect& rect, const ImageProviding& images)
{
    auto region = renderAlignedRegion(doc, rect, images);
    if (!region)
        return std::nullopt;
    return std::move(region->image);
}

} // namespace vorlix
