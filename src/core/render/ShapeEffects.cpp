#include "core/render/ShapeEffects.h"

#include "core/render/AnnotationDrawing.h"
#include "core/render/Halo.h"
#include "core/render/Layer.h"
#include "core/shapes/CursorGeometry.h"
#include "core/shapes/QtConversions.h"

#include <QBrush>
#include <QColorSpace>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace vorlix::Renderer {

namespace {

constexpr int blotchPixels = 192;
constexpr int grainPixels = 96;
// The textures are drawn at two pixels per point: 192 px tile every 96 points.
constexpr double texturePointsPerPixel = 0.5;
// The largest cursor preview, in pixels: far beyond any menu icon.
constexpr long long maximumPreviewPixels = 4096;

Rect grown(const Rect& r, double d) { return r.insetBy(-d, -d); }

QImage makeBlotches()
{
    QImage image(blotchPixels, blotchPixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    ChalkRandom random(0xD1B54A32D192ED03ULL);
    constexpr std::array<double, 3> shifts{-blotchPixels, 0, blotchPixels};
    for (int stroke = 0; stroke < 420; ++stroke) {
        const double length = random.next() * 22 + 6;
        const double angle = (random.next() - 0.5) * 0.5;
        const double x = random.next() * blotchPixels;
        const double y = random.next() * blotchPixels;
        const double alpha = random.next() * 0.45 + 0.25;
        const double width = random.next() * 1.4 + 0.6;
        const QPointF a(x, y);
        const QPointF b(x + length * std::cos(angle), y + length * std::sin(angle));
        // Nine copies shifted by a whole tile each way, so the texture tiles without seams.
        QPainterPath path;
        for (const double ox : shifts) {
            for (const double oy : shifts) {
                path.moveTo(a + QPointF(ox, oy));
                path.lineTo(b + QPointF(ox, oy));
            }
        }
        QColor colour(0, 0, 0);
        colour.setAlphaF(static_cast<float>(alpha));
        painter.strokePath(path, QPen(QBrush(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.end();
    return image;
}

QImage makeGrain()
{
    QImage image(grainPixels, grainPixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    ChalkRandom random(0x9E3779B97F4A7C15ULL);
    for (int y = 0; y < grainPixels; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < grainPixels; ++x) {
            const double r = random.next();
            const int alpha = r < 0.2 ? 240 : (r < 0.45 ? 110 : 0);
            row[x] = qRgba(0, 0, 0, alpha);
        }
    }
    return image;
}

// Erases the texture's alpha out of what `painter` holds inside `area`, tiled from the
// canvas origin.
void eraseWithTexture(QPainter& painter, const QImage& texture, const Rect& area)
{
    if (texture.isNull())
        return;
    QBrush brush(texture);
    brush.setTransform(QTransform::fromScale(texturePointsPerPixel, texturePointsPerPixel));
    painter.save();
    painter.setBrushOrigin(0, 0);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.fillRect(area.toQt(), brush);
    painter.restore();
}

// Both textures as one blotch-sized tile whose alpha is what the two erasures take
// together, 1 - (1 - blotch)(1 - grain): one textured fill per chalk shape instead of
// two. The grain tiles twice across each way.
QImage makeCombinedTexture(const QImage& blotches, const QImage& grain)
{
    if (blotches.isNull() || grain.isNull())
        return {};
    QImage image(blotchPixels, blotchPixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    for (int y = 0; y < blotchPixels; ++y) {
        const auto* b = reinterpret_cast<const QRgb*>(blotches.constScanLine(y));
        const auto* g = reinterpret_cast<const QRgb*>(grain.constScanLine(y % grainPixels));
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < blotchPixels; ++x) {
            const int kept = (255 - qAlpha(b[x])) * (255 - qAlpha(g[x % grainPixels]));
            row[x] = qRgba(0, 0, 0, 255 - (kept + 127) / 255);
        }
    }
    return image;
}

const QImage& chalkTexture()
{
    static const QImage image = makeCombinedTexture(chalkBlotches(), chalkGrain());
    return image;
}

} // namespace

const QImage& chalkBlotches()
{
    static const QImage image = makeBlotches();
    return image;
}

const QImage& chalkGrain()
{
    static const QImage image = makeGrain();
    return image;
}

void drawWithOutline(QPainter& painter, const CanvasShape& shape)
{
    const double lw = shape.style.lineWidth;
    CanvasShape inner = shape;
    inner.style.shapeOutline = false;
    inner.style.opacity = 1;
    CanvasShape halo = inner;
    // The halo follows the stroke; a shape without a stroke keeps its fill in it.
    if (lw > 0)
        halo.style.fill = FillMode::none;
    const double w = shape.style.shapeOutlineWidth();
    const Rect bounds = inner.shapeBounds();
    if (bounds.isNull())
        return;
    const Rect area = grown(grown(bounds, w), 3 * w);

    // Two rings of 16 shifted copies, at half and at the full outline width.
    std::vector<QPointF> shifts;
    shifts.reserve(32);
    for (const double d : {w * 0.5, w}) {
        for (int k = 0; k < 16; ++k) {
            const double theta = k * std::numbers::pi / 8;
            shifts.emplace_back(d * std::cos(theta), d * std::sin(theta));
        }
    }

    painter.save();
    std::optional<Layer> outer;
    if (shape.style.opacity < 1)
        outer.emplace(painter, area.toQt(), shape.style.opacity);
    QPainter& target = outer ? outer->painter() : painter;
    drawHalo(target, area.toQt(), shifts, shape.style.shapeOutlineColor().withAlpha(1),
             [&](QPainter& p) { draw(p, halo, std::nullopt, QPainter::CompositionMode_Multiply); });
    draw(target, inner, std::nullopt, QPainter::CompositionMode_Multiply);
    if (outer)
        outer->end();
    painter.restore();
}

void drawChalk(QPainter& painter, const CanvasShape& shape)
{
    const double lw = shape.style.lineWidth;
    CanvasShape base = shape;
    base.style.chalk = false;
    base.style.opacity = 1;
    const double j = std::max(lw * 0.26, 0.8);
    const Rect bounds = base.shapeBounds();
    if (bounds.isNull())
        return;
    const Rect area = grown(bounds, 2 * j);

    struct Pass {
        double dx, dy, factor;
    };
    const Pass passes[] = {{0, 0, 0.75}, {j, -0.6 * j, 0.5}, {-0.7 * j, 0.8 * j, 0.5}, {0.3 * j, j, 0.4}};

    painter.save();
    Layer layer(painter, area.toQt(), std::min(shape.style.opacity, 1.0));
    if (!layer.isEmpty()) {
        QPainter& p = layer.painter();
        // One copy for every pass: a pasted pencil stroke may hold 100,000 points.
        CanvasShape& copy = base;
        for (const Pass& pass : passes) {
            copy.style.lineWidth = std::max(lw * pass.factor, 1.0);
            p.save();
            p.translate(pass.dx, pass.dy);
            draw(p, copy, std::nullopt, QPainter::CompositionMode_Multiply);
            p.restore();
        }
        eraseWithTexture(p, chalkTexture(), area);
    }
    layer.end();
    painter.restore();
}

QImage cursorPreview(CursorShape shape, double size, double scale)
{
    Style style;
    style.strokeColor = Palette::red();
    style.fillColor.reset();
    style.lineWidth = 4;
    style.fill = FillMode::none;
    style.opacity = 1;
    style.fontName.reset();
    style.fontSize = size * 0.8;
    style.fontBold = true;
    style.cursorShape = shape;
    style.clickMark = false;

    const double pixels = std::round(size * scale);
    if (!(pixels >= 1) || pixels > maximumPreviewPixels)
        return {};
    const int px = static_cast<int>(pixels);
    QImage image(px, px, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        return {};
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    image.fill(Qt::transparent);

    const Rect b = CursorGeometry::bounds(style, Point{0, 0});
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(scale, scale);
    if (!b.isNull())
        painter.translate(size / 2 - b.midX(), size / 2 - b.midY());
    drawCursorShape(painter, style, Point{0, 0});
    painter.end();
    return image;
}

} // namespace vorlix::Renderer
