#include "core/render/Shadow.h"

#include "core/render/GaussianBlur.h"
#include "core/render/Layer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>

namespace vorlix {

namespace {

// Shadows larger than this many device pixels are not kept.
constexpr double maximumCachedPixels = 4096.0 * 4096.0;

} // namespace

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
        tint[static_cast<std::size_t>(a)] = qRgba(static_cast<int>(std::lround(unit(shadow.color.red) * k * 255)),
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

namespace {

struct ShadowPicture {
    QPainterPath path;
    Shadow shadow;
    QRgb fill = 0;
    QPainter::RenderHints hints;
    QTransform local; // the device transform less its whole-pixel translation
    QImage image;
    QPoint origin; // device pixel of the image's top-left under `local`
};

// The most shadow pictures kept, and the most pixels they hold together (64 MB); the
// oldest goes first.
constexpr std::size_t maximumShadowPictures = 48;
constexpr double maximumKeptPixels = 16.0 * 1024 * 1024;

double pixelsOf(const ShadowPicture& picture) { return double(picture.image.width()) * picture.image.height(); }

// Each thread keeps its own: a picture depends on nothing but its key, so any thread's
// copy is as good, and none needs a lock.
struct ShadowPictures {
    std::deque<ShadowPicture> pictures;
    double pixels = 0;
};

ShadowPictures& shadowPictures()
{
    static thread_local ShadowPictures kept;
    return kept;
}

} // namespace

void drawPathShadow(QPainter& painter, const Shadow& shadow, const QPainterPath& path, const QColor& fill)
{
    const QTransform device = painter.deviceTransform();
    if (!device.isInvertible() || path.isEmpty())
        return;
    const double wholeX = std::floor(device.dx());
    const double wholeY = std::floor(device.dy());
    if (!std::isfinite(wholeX) || !std::isfinite(wholeY) || std::abs(wholeX) > 1e9 || std::abs(wholeY) > 1e9)
        return;
    const QTransform local(device.m11(), device.m12(), device.m21(), device.m22(), device.dx() - wholeX,
                           device.dy() - wholeY);
    const QPoint whole(static_cast<int>(wholeX), static_cast<int>(wholeY));
    const auto draw = [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(path);
    };
    ShadowPictures& kept = shadowPictures();
    std::deque<ShadowPicture>& pictures = kept.pictures;
    const auto found = std::find_if(pictures.begin(), pictures.end(), [&](const ShadowPicture& p) {
        return p.fill == fill.rgba() && p.hints == painter.renderHints() && p.local == local && p.shadow == shadow &&
               p.path == path;
    });
    if (found == pictures.end()) {
        // The whole shadow under `local`: the shape's pixels grown by the blur's reach
        // and the offset, with a pixel to spare.
        const double scale = std::sqrt(std::abs(local.determinant()));
        const double sigma = std::isfinite(shadow.blur) ? std::max(shadow.blur, 0.0) * scale / 2 : 0;
        const double shift = (std::isfinite(shadow.offset.x) ? std::abs(shadow.offset.x) : 0) +
                             (std::isfinite(shadow.offset.y) ? std::abs(shadow.offset.y) : 0);
        const int margin = static_cast<int>(std::ceil(3 * sigma + shift * scale)) + 3;
        const QRect area =
            local.mapRect(path.boundingRect()).toAlignedRect().adjusted(-margin, -margin, margin, margin);
        if (area.isEmpty() || double(area.width()) * area.height() > maximumCachedPixels) {
            drawShadow(painter, shadow, path.boundingRect(), draw);
            return;
        }
        ShadowPicture picture{path,          shadow,
                              fill.rgba(),   painter.renderHints(),
                              local,         QImage(area.size(), QImage::Format_ARGB32_Premultiplied),
                              area.topLeft()};
        if (picture.image.isNull())
            return;
        picture.image.fill(Qt::transparent);
        {
            QPainter p(&picture.image);
            p.setRenderHints(painter.renderHints());
            p.setTransform(local * QTransform::fromTranslate(-area.x(), -area.y()));
            drawShadow(p, shadow, path.boundingRect(), draw);
        }
        kept.pixels += pixelsOf(picture);
        pictures.push_back(std::move(picture));
        while (pictures.size() > maximumShadowPictures || (kept.pixels > maximumKeptPixels && pictures.size() > 1)) {
            kept.pixels -= pixelsOf(pictures.front());
            pictures.pop_front();
        }
        drawAtDevicePixels(painter, pictures.back().image, pictures.back().origin + whole);
        return;
    }
    drawAtDevicePixels(painter, found->image, found->origin + whole);
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
