#include "Shadow.h"

#include "GaussianBlur.h"
#include "Layer.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace vorlix {

void drawShadow(QPainter& painter, const Shadow& shadow, const QRectF& bounds,
                const std::function<void(QPainter&)>& draw)
{
    const QTransform device = painter.deviceTransform();
    if (!device.isInvertible() || bounds.isEmpty())
        return;
    // One length scale for the device (zoom, export density, device pixel ratio).
    const double scale = std::sqrt(std::abs(device.determinant()));
    const double sigma = std::isfinite(shadow.blur) ? std::max(shadow.blur, 0.0) * scale / 2 : 0;
    const int reach = static_cast<int>(std::ceil(3 * sigma)) + 1;
    const QPoint offset(std::isfinite(shadow.offset.x) ? saturatingInt(std::round(shadow.offset.x * scale)) : 0,
                        std::isfinite(shadow.offset.y) ? saturatingInt(std::round(shadow.offset.y * scale)) : 0);

    const QRect shape = device.mapRect(bounds.normalized()).toAlignedRect();
    const QRect target = shape.adjusted(-reach, -reach, reach, reach).translated(offset) & paintableDeviceRect(painter);
    if (target.isEmpty())
        return;
    // The shape pixels that blur into the target area.
    const QRect source = target.translated(-offset).adjusted(-reach, -reach, reach, reach) & shape;
    if (source.isEmpty())
        return;
    const QRect area = target.translated(-offset).adjusted(-reach, -reach, reach, reach);

    QImage coverage(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (coverage.isNull())
        return;
    coverage.fill(Qt::transparent);
    {
        QPainter p(&coverage);
        p.setRenderHints(painter.renderHints());
        p.setTransform(device * QTransform::fromTranslate(-area.x(), -area.y()));
        draw(p);
    }
    const QImage alpha = gaussianBlurred(coverage.convertToFormat(QImage::Format_Alpha8), sigma);
    if (alpha.isNull())
        return;

    // Tint: the shadow colour at each blurred coverage, premultiplied.
    const auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    const double colorAlpha = unit(shadow.color.alpha);
    std::array<QRgb, 256> tint{};
    for (int a = 0; a < 256; ++a) {
        const double k = colorAlpha * a / 255.0;
        tint[static_cast<std::size_t>(a)] =
            qRgba(static_cast<int>(std::lround(unit(shadow.color.red) * k * 255)),
                  static_cast<int>(std::lround(unit(shadow.color.green) * k * 255)),
                  static_cast<int>(std::lround(unit(shadow.color.blue) * k * 255)),
                  static_cast<int>(std::lround(k * 255)));
    }
    QImage tinted(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (tinted.isNull())
        return;
    for (int y = 0; y < area.height(); ++y) {
        const std::uint8_t* in = alpha.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        for (int x = 0; x < area.width(); ++x)
            out[x] = tint[in[x]];
    }
    drawAtDevicePixels(painter, tinted, area.topLeft() + offset);
}

void drawWithShadow(QPainter& painter, const Shadow& shadow, const QRectF& bounds,
                    const std::function<void(QPainter&)>& draw)
{
    drawShadow(painter, shadow, bounds, draw);
    painter.save();
    draw(painter);
    painter.restore();
}

} // namespace vorlix
