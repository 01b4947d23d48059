#include "core/render/Halo.h"

#include "core/render/Layer.h"
#include "core/shapes/QtConversions.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace vorlix {

namespace {

// The side of the square tiles that are computed or skipped as a whole, in pixels.
constexpr int tileSide = 8;
// Shifts are rounded to this fraction of a pixel.
constexpr int phaseSteps = 2;

// Shifts beyond this many device pixels are drawn one copy at a time: the coverage
// pictures would grow with them.
constexpr double maximumShiftPixels = 64;

// The plain way: every shifted copy drawn into a layer, which then takes the colour.
void drawShiftedCopies(QPainter& painter, const QRect& target, const std::vector<QPointF>& shifts,
                       const RGBAColor& color, const std::function<void(QPainter&)>& draw)
{
    const QTransform device = painter.deviceTransform();
    const QRectF bounds = device.inverted().mapRect(QRectF(target));
    Layer layer(painter, bounds);
    if (!layer.isEmpty()) {
        QPainter& p = layer.painter();
        for (const QPointF& shift : shifts) {
            p.save();
            p.translate(shift);
            draw(p);
            p.restore();
        }
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(bounds, toQColor(color));
        p.restore();
    }
    layer.end();
}

} // namespace

void drawHalo(QPainter& painter, const QRectF& bounds, const std::vector<QPointF>& shifts, const RGBAColor& color,
              const std::function<void(QPainter&)>& draw)
{
    const QTransform device = painter.deviceTransform();
    if (!device.isInvertible() || bounds.isEmpty() || shifts.empty())
        return;
    const QRect target = paintableDeviceRect(painter) & device.mapRect(bounds.normalized()).toAlignedRect();
    if (target.isEmpty())
        return;

    // The shifts in device pixels: the linear part of the device transform.
    const QPointF origin = device.map(QPointF(0, 0));
    std::vector<QPointF> pixelShifts;
    pixelShifts.reserve(shifts.size());
    double longest = 0;
    for (const QPointF& shift : shifts) {
        const QPointF d = device.map(shift) - origin;
        if (!std::isfinite(d.x()) || !std::isfinite(d.y()))
            return;
        pixelShifts.push_back(d);
        longest = std::max({longest, std::abs(d.x()), std::abs(d.y())});
    }
    if (longest > maximumShiftPixels) {
        drawShiftedCopies(painter, target, shifts, color, draw);
        return;
    }
    // Each shift is split into whole pixels and a phase, a multiple of 1 / phaseSteps
    // pixel. The drawing is rendered once per phase in use, and that coverage is
    // composited at the whole-pixel part of every shift with that phase. The coverage
    // reaches `reach` pixels past the target on every side, so that target pixel x of a
    // copy moved by n whole pixels reads coverage pixel x + reach - n, always inside.
    const int reach = static_cast<int>(std::ceil(longest)) + 2;
    const QRect source = target.adjusted(-reach, -reach, reach, reach);
    const int tw = target.width();
    const int th = target.height();

    struct Copy {
        std::size_t phase;
        int dx, dy;
    };
    std::vector<Copy> copies;
    std::vector<QPoint> phases;
    for (const QPointF& d : pixelShifts) {
        const auto qx = static_cast<int>(std::lround(d.x() * phaseSteps));
        const auto qy = static_cast<int>(std::lround(d.y() * phaseSteps));
        const int dx = qx >= 0 ? qx / phaseSteps : -((-qx + phaseSteps - 1) / phaseSteps);
        const int dy = qy >= 0 ? qy / phaseSteps : -((-qy + phaseSteps - 1) / phaseSteps);
        const QPoint phase(qx - dx * phaseSteps, qy - dy * phaseSteps);
        const auto found = std::find(phases.begin(), phases.end(), phase);
        copies.push_back({static_cast<std::size_t>(found - phases.begin()), dx, dy});
        if (found == phases.end())
            phases.push_back(phase);
    }

    std::vector<QImage> pictures;
    pictures.reserve(phases.size());
    for (const QPoint& phase : phases) {
        QImage& picture = pictures.emplace_back(source.size(), QImage::Format_ARGB32_Premultiplied);
        if (picture.isNull())
            return;
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHints(painter.renderHints());
        p.setPen(painter.pen());
        p.setBrush(painter.brush());
        p.setFont(painter.font());
        p.setTransform(device * QTransform::fromTranslate(-source.x() + double(phase.x()) / phaseSteps,
                                                          -source.y() + double(phase.y()) / phaseSteps));
        draw(p);
    }

    // The target tiles that some copy reaches. Coverage pixel x reaches target pixels
    // x - 2 reach + 1 ... x - 1, and the phases differ by less than a pixel, so the
    // blocks of the first phase's coverage that hold ink mark the target tiles for all:
    // block k (pixels tileSide k ... tileSide (k + 1) - 1) marks target pixels
    // tileSide k - 2 reach ... tileSide (k + 1) - 1.
    // Likewise in y.
    const int sw = source.width();
    const int sh = source.height();
    const QImage& first = pictures.front();
    const qsizetype stride = first.bytesPerLine();
    const int blockColumns = (sw + tileSide - 1) / tileSide;
    const int blockRows = (sh + tileSide - 1) / tileSide;
    std::vector<QRgb> ink(static_cast<std::size_t>(blockColumns) * static_cast<std::size_t>(blockRows));
    for (int y = 0; y < sh; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(first.constBits() + y * stride);
        QRgb* blocks = ink.data() + static_cast<std::size_t>(y / tileSide) * blockColumns;
        for (int k = 0; k < blockColumns; ++k) {
            QRgb any = 0;
            const int end = std::min(tileSide, sw - k * tileSide);
            for (int x = 0; x < end; ++x)
                any |= in[k * tileSide + x];
            blocks[k] |= any;
        }
    }
    const int columns = (tw + tileSide - 1) / tileSide;
    const int rows = (th + tileSide - 1) / tileSide;
    std::vector<std::uint8_t> reached(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    const auto tileRange = [&](int block, int count) {
        const int from = std::max(block * tileSide - 2 * reach, 0) / tileSide;
        const int to = std::min((block + 1) * tileSide - 1, count * tileSide - 1) / tileSide;
        return std::pair(from, to);
    };
    for (int by = 0; by < blockRows; ++by) {
        const auto [r0, r1] = tileRange(by, rows);
        for (int bx = 0; bx < blockColumns; ++bx) {
            if (!ink[static_cast<std::size_t>(by) * blockColumns + bx])
                continue;
            const auto [c0, c1] = tileRange(bx, columns);
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c)
                    reached[static_cast<std::size_t>(r) * columns + c] = 1;
        }
    }
    std::vector<QPoint> tiles;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (reached[static_cast<std::size_t>(r) * columns + c])
                tiles.emplace_back(c * tileSide, r * tileSide);
    if (tiles.empty())
        return;

    // The merged coverage 0...1 of each reached tile, copies composited source-over.
    constexpr int tilePixels = tileSide * tileSide;
    std::vector<float> merged(tiles.size() * tilePixels, 0.0f);
    for (const Copy& copy : copies) {
        const auto* bits = pictures[copy.phase].constBits();
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            const QPoint tile = tiles[t];
            const int width = std::min(tileSide, tw - tile.x());
            const int height = std::min(tileSide, th - tile.y());
            const auto* in = reinterpret_cast<const QRgb*>(bits + (tile.y() + reach - copy.dy) * stride) +
                             (tile.x() + reach - copy.dx);
            float* out = merged.data() + t * tilePixels;
            for (int y = 0; y < height; ++y, in += stride / 4, out += tileSide) {
                for (int x = 0; x < width; ++x) {
                    const float a = static_cast<float>(in[x] >> 24) * (1.0f / 255.0f);
                    out[x] += a * (1 - out[x]);
                }
            }
        }
    }

    QImage halo(tw, th, QImage::Format_ARGB32_Premultiplied);
    if (halo.isNull())
        return;
    halo.fill(Qt::transparent);
    // The halo colour premultiplied at each coverage level.
    std::array<QRgb, 256> tint{};
    for (int level = 0; level < 256; ++level)
        tint[static_cast<std::size_t>(level)] =
            qPremultiply(toQColor(color.withAlpha(color.alpha * level / 255.0)).rgba());
    uchar* bits = halo.bits();
    const qsizetype haloStride = halo.bytesPerLine();
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        const QPoint tile = tiles[t];
        const int width = std::min(tileSide, tw - tile.x());
        const int height = std::min(tileSide, th - tile.y());
        const float* in = merged.data() + t * tilePixels;
        for (int y = 0; y < height; ++y, in += tileSide) {
            auto* out = reinterpret_cast<QRgb*>(bits + (tile.y() + y) * haloStride) + tile.x();
            for (int x = 0; x < width; ++x)
                out[x] = tint[static_cast<std::size_t>(std::clamp(in[x], 0.0f, 1.0f) * 255 + 0.5f)];
        }
    }
    drawAtDevicePixels(painter, halo, target.topLeft());
}

} // namespace vorlix
