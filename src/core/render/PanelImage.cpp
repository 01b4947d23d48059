#include "core/render/PanelImage.h"

#include "core/model/PanelGeometry.h"
#include "core/render/Pens.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vorlix::Renderer {

namespace {

// The part of `image` inside the whole-pixel rectangle `pixels`, sharing the image's
// memory where the format allows; null when nothing of the image is inside.
QImage subImage(const QImage& image, const QRect& pixels)
{
    const QRect inside = pixels.intersected(image.rect());
    if (inside.isEmpty())
        return {};
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return QImage(image.constScanLine(inside.y()) + static_cast<std::ptrdiff_t>(inside.x()) * 4, inside.width(),
                      inside.height(), image.bytesPerLine(), image.format());
    default:
        return image.copy(inside);
    }
}

// The whole device pixels inside `r` (user space), back in user space, when the painter
// maps user space to device pixels by a plain scale and translation and draws opaque
// colours as they are (full opacity, source-over); nothing otherwise. What is drawn
// opaque over this rectangle hides whatever was beneath it exactly, even antialiased.
std::optional<QRectF> wholeDevicePixelsInside(const QPainter& painter, const QRectF& r)
{
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || !device.isInvertible() || painter.opacity() < 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || !r.isValid())
        return std::nullopt;
    const QRectF d = device.mapRect(r);
    const double left = std::ceil(d.left());
    const double top = std::ceil(d.top());
    const double right = std::floor(d.right());
    const double bottom = std::floor(d.bottom());
    if (!(right > left && bottom > top) || !std::isfinite(right - left) || !std::isfinite(bottom - top))
        return std::nullopt;
    return device.inverted().mapRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
}

} // namespace

std::optional<QRectF> opaqueImageArea(const Panel& panel, const QImage& image, double radius, const QPainter& painter)
{
    if (image.isNull() || image.hasAlphaChannel() || panel.pixelSize.width <= 0)
        return std::nullopt;
    const QTransform toCanvas = toQTransform(contentToCanvas(panel));
    const QTransform device = toCanvas * painter.deviceTransform();
    const double pixel = 1 / std::max(std::sqrt(std::abs(painter.deviceTransform().determinant())), minimumDivisor);
    if (device.type() > QTransform::TxScale)
        return std::nullopt;
    const QRectF inner = frame(panel).insetBy(radius, radius).toQt();
    std::optional<QRectF> largest;
    for (const VisibleSegment& segment : visibleSegments(panel)) {
        const QRectF covered =
            toCanvas.mapRect(segment.content.toQt()).adjusted(pixel, pixel, -pixel, -pixel).intersected(inner);
        if (covered.isValid() &&
            (!largest || covered.width() * covered.height() > largest->width() * largest->height()))
            largest = covered;
    }
    return largest ? wholeDevicePixelsInside(painter, *largest) : std::nullopt;
}

void drawImage(const Panel& panel, const ImageProviding& images, QPainter& painter,
               std::optional<double> displayPixelsPerPoint)
{
    drawImagePieces(panel, displayedImage(panel, images, displayPixelsPerPoint), painter);
}

QImage displayedImage(const Panel& panel, const ImageProviding& images, std::optional<double> displayPixelsPerPoint)
{
    const QImage full = images.image(panel.imageID);
    if (full.isNull())
        return {};
    QImage image = full;
    if (displayPixelsPerPoint) {
        const double density = 1 / std::max(pointsPerPixel(panel), minimumDivisor);
        const double p = *displayPixelsPerPoint;
        if (p < density * previewDensityThreshold) {
            const double longest = std::max(panel.pixelSize.width, panel.pixelSize.height);
            const int maxPixelSize = saturatingInt(std::trunc(longest * p / density * previewOversize));
            if (maxPixelSize >= 1) {
                const QImage preview = images.previewImage(panel.imageID, maxPixelSize);
                if (!preview.isNull() && preview.width() < full.width())
                    image = preview;
            }
        }
    }
    return image;
}

void drawImagePieces(const Panel& panel, const QImage& image, QPainter& painter)
{
    if (image.isNull() || panel.pixelSize.width <= 0)
        return;
    // The image may be a reduced copy: source rectangles scale by its width ratio.
    const double f = image.width() / panel.pixelSize.width;
    const Rect whole(0, 0, panel.pixelSize.width, panel.pixelSize.height);
    painter.save();
    painter.setTransform(toQTransform(contentToCanvas(panel)), true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const VisibleSegment& segment : visibleSegments(panel)) {
        const QRectF target = segment.content.toQt();
        if (segment.source == whole) {
            painter.drawImage(target, image);
            continue;
        }
        const Rect s = segment.source;
        const Rect pixels = Rect(s.minX() * f, s.minY() * f, s.width() * f, s.height() * f).integral();
        const QImage piece = subImage(image, QRect(saturatingInt(pixels.minX()), saturatingInt(pixels.minY()),
                                                   saturatingInt(pixels.width()), saturatingInt(pixels.height())));
        if (!piece.isNull())
            painter.drawImage(target, piece);
    }
    painter.restore();
}

} // namespace vorlix::Renderer
