#pragma once
// Glyph outlines and their round-joined strokes, kept per font face, pixel size and glyph:
// turning a glyph into a path, and stroking it, cost far more than filling the result, and
// outlined text is drawn on every canvas redraw. Bounded: when full it starts afresh. Not
// synchronised: one instance belongs to one thread.

#include <QPainterPath>
#include <QRawFont>
#include <QString>

#include <cstddef>
#include <unordered_map>

namespace vorlix {

class GlyphOutlineCache {
public:
    explicit GlyphOutlineCache(std::size_t capacity) : m_capacity(capacity) {}

    // The glyph's outline in the raw font's pixels, origin on the baseline.
    QPainterPath outline(const QRawFont& font, quint32 glyph);
    // The area covered by stroking that outline with a pen `width` pixels wide with round
    // joins and caps, to be filled with the winding rule.
    QPainterPath stroke(const QRawFont& font, quint32 glyph, double width);
    std::size_t count() const { return m_entries.size(); }

private:
    struct Key {
        QString family;
        QString styleName;
        int weight = 0;
        int style = 0;
        double pixelSize = 0;
        quint32 glyph = 0;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };
    struct Entry {
        QPainterPath outline;
        QPainterPath stroke;
        double strokeWidth = -1; // of `stroke`; negative before the first stroke
    };
    Entry& entry(const QRawFont& font, quint32 glyph);

    std::size_t m_capacity;
    std::unordered_map<Key, Entry, KeyHash> m_entries;
};

} // namespace vorlix
