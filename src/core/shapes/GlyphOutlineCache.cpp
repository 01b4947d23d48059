#include "core/shapes/GlyphOutlineCache.h"

#include <QHash>
#include <QPainterPathStroker>
#include <QPen>

#include <functional>

namespace vorlix {

std::size_t GlyphOutlineCache::KeyHash::operator()(const Key& key) const noexcept
{
    std::size_t h = qHash(key.family);
    const auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(qHash(key.styleName));
    mix(static_cast<std::size_t>(key.weight));
    mix(static_cast<std::size_t>(key.style));
    mix(std::hash<double>{}(key.pixelSize + 0.0));
    mix(key.glyph);
    return h;
}

GlyphOutlineCache::Entry& GlyphOutlineCache::entry(const QRawFont& font, quint32 glyph)
{
    Key key{
        font.familyName(), font.styleName(), font.weight(), static_cast<int>(font.style()), font.pixelSize(), glyph};
    if (const auto it = m_entries.find(key); it != m_entries.end())
        return it->second;
    if (m_entries.size() >= m_capacity)
        m_entries.clear();
    Entry fresh;
    fresh.outline = font.pathForGlyph(glyph);
    return m_entries.emplace(std::move(key), std::move(fresh)).first->second;
}

QPainterPath GlyphOutlineCache::outline(const QRawFont& font, quint32 glyph) { return entry(font, glyph).outline; }

QPainterPath GlyphOutlineCache::stroke(const QRawFont& font, quint32 glyph, double width)
{
    Entry& e = entry(font, glyph);
    if (e.strokeWidth != width) {
        QPainterPathStroker stroker(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        e.stroke = stroker.createStroke(e.outline);
        e.stroke.setFillRule(Qt::WindingFill);
        e.strokeWidth = width;
    }
    return e.stroke;
}

} // namespace vorlix
