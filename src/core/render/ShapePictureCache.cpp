#include "core/render/ShapePictureCache.h"

#include "core/render/AnnotationDrawing.h"
#include "core/render/Layer.h"

#include <algorithm>
#include <cmath>

namespace vorlix::Renderer {

namespace {

// Larger pictures would crowd out the rest; such shapes are drawn directly.
constexpr qsizetype maxPicturePixels = ShapePictureCache::canvasPixelCapacity / 8;
// Fractions of a pixel closer than this are one placement.
constexpr double sameFraction = 1e-6;

// How far a shape's drawing may reach past its bounds, in canvas points: joins and text
// outlines, shadows, and a measure's label beside its line. A picture whose drawing
// reaches its edge anyway is not used.
double drawingMargin(const CanvasShape& shape)
{
    const double margin = 16 + 2 * shape.style.lineWidth;
    return shape.style.showsMeasure ? margin + 3 * std::max(shape.style.fontSize, 8.0) : margin;
}

bool inkOnEdge(const QImage& picture)
{
    const int w = picture.width();
    const int h = picture.height();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        if (qAlpha(row[0]) != 0 || qAlpha(row[w - 1]) != 0)
            return true;
        if (y == 0 || y == h - 1)
            if (std::any_of(row, row + w, [](QRgb pixel) { return qAlpha(pixel) != 0; }))
                return true;
    }
    return false;
}

// The whole device pixels of the transform's translation.
QPoint wholePixels(const QTransform& device) { return {int(std::floor(device.dx())), int(std::floor(device.dy()))}; }

} // namespace

qsizetype ShapePictureCache::pixelsOf(const Entry& entry)
{
    return qsizetype(entry.picture.width()) * entry.picture.height();
}

ShapePictureCache::Placement ShapePictureCache::placementOf(const QTransform& device)
{
    return {device.m11(),
            device.m12(),
            device.m21(),
            device.m22(),
            device.dx() - std::floor(device.dx()),
            device.dy() - std::floor(device.dy())};
}

bool ShapePictureCache::matches(const Entry& entry, const CanvasShape& shape, std::optional<long long> number,
                                const Placement& placement)
{
    const Placement& kept = entry.placement;
    return kept.m11 == placement.m11 && kept.m12 == placement.m12 && kept.m21 == placement.m21 &&
           kept.m22 == placement.m22 && std::abs(kept.dxFraction - placement.dxFraction) < sameFraction &&
           std::abs(kept.dyFraction - placement.dyFraction) < sameFraction && entry.number == number &&
           entry.shape == shape;
}

ShapePictureCache::Entry ShapePictureCache::drawPicture(const QTransform& device, const QPainter& painter,
                                                        const CanvasShape& shape, std::optional<long long> number) const
{
    Entry entry{shape, number, placementOf(device), QImage(), QPoint(), 0};
    const Rect bounds = shape.bounds();
    if (bounds.isNull())
        return entry;
    const double margin = drawingMargin(shape);
    const QRect area = device.mapRect(bounds.insetBy(-margin, -margin).toQt()).toAlignedRect();
    if (area.isEmpty() || qsizetype(area.width()) * area.height() > maxPicturePixels)
        return entry;

    QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter drawing(&picture);
        drawing.setRenderHints(painter.renderHints());
        drawing.setTransform(device * QTransform::fromTranslate(-area.x(), -area.y()));
        Renderer::draw(drawing, shape, number, QPainter::CompositionMode_Multiply);
    }
    if (inkOnEdge(picture))
        return entry;
    entry.picture = std::move(picture);
    entry.offset = area.topLeft() - wholePixels(device);
    return entry;
}

void ShapePictureCache::draw(QPainter& painter, const QUuid& id, const CanvasShape& shape,
                             std::optional<long long> number)
{
    const QTransform device = painter.deviceTransform();
    if (shape.kind == AnnotationKind::highlighter || painter.opacity() < 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || !device.isInvertible()) {
        Renderer::draw(painter, shape, number, QPainter::CompositionMode_Multiply);
        return;
    }

    auto found = m_entries.find(id);
    if (found == m_entries.end()) {
        found = m_entries.emplace(id, drawPicture(device, painter, shape, number)).first;
        m_pixels += pixelsOf(found->second);
        ++m_picturesMade;
    } else if (!matches(found->second, shape, number, placementOf(device))) {
        m_pixels -= pixelsOf(found->second);
        found->second = drawPicture(device, painter, shape, number);
        m_pixels += pixelsOf(found->second);
        ++m_picturesMade;
    }
    Entry& entry = found->second;
    entry.lastUse = ++m_clock;
    if (entry.picture.isNull())
        Renderer::draw(painter, shape, number, QPainter::CompositionMode_Multiply);
    else
        drawAtDevicePixels(painter, entry.picture, entry.offset + wholePixels(device));
    evictBeyondCapacity();
}

void ShapePictureCache::evictBeyondCapacity()
{
    while (m_pixels > m_pixelCapacity && !m_entries.empty()) {
        auto oldest = std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        });
        m_pixels -= pixelsOf(oldest->second);
        m_entries.erase(oldest);
    }
}

std::size_t ShapePictureCache::pictureCount() const
{
    return std::count_if(m_entries.begin(), m_entries.end(),
                         [](const auto& entry) { return !entry.second.picture.isNull(); });
}

void ShapePictureCache::clear()
{
    m_entries.clear();
    m_pixels = 0;
}

} // namespace vorlix::Renderer
