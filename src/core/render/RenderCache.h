#pragma once
// The caches of one canvas: what a redraw of an unchanged document reuses instead of
// drawing or filtering it again. A canvas owns one and passes it to Renderer::draw in
// `Options::cache`; a draw without one (an export) computes everything afresh and keeps
// nothing, so exports share no state with any canvas.
//
// What is kept, how much, and for how long:
// - Shape pictures (ShapePictureCache): each annotation's shape drawn in device pixels, by
//   annotation id, reused while the shape and the device transform (up to whole-pixel
//   scrolls) stay the same. At most ShapePictureCache::canvasPixelCapacity pixels (64 MB),
//   least recently used first out.
// - Filtered regions: the blurred or pixelated piece of a region of an image, by the drawn
//   image's QImage::cacheKey(), the region in whole pixels, the filter mode, the amount to
//   a tenth of a pixel and the noise flag. At most `regionCapacity` pieces, least recently
//   used first out.
// - Darkness answers (highlighters over dark images): by cacheKey and sampled region. At
//   most `darknessCapacity`, emptied when full.
// A cacheKey names pixels, not an image id: an image replaced under the same id, or
// written to, has a new key, so a stale piece or answer is never served. Entries stay
// until pushed out, until clear(), or until the cache goes with its canvas.
//
// Not synchronised: one cache per canvas, used by the thread that draws that canvas.
// Two canvases with a cache each never push out each other's entries.

#include "core/model/Geometry.h"
#include "core/model/Panel.h"
#include "core/render/Filters.h"
#include "core/render/ShapePictureCache.h"

#include <QCache>
#include <QHash>
#include <QImage>

#include <optional>
#include <vector>

namespace vorlix::Renderer {

class RenderCache {
public:
    static constexpr int regionCapacity = 64;
    static constexpr int darknessCapacity = 4096;

    RenderCache();

    ShapePictureCache& shapePictures() { return m_shapePictures; }
    const ShapePictureCache& shapePictures() const { return m_shapePictures; }

    // Filters::regionImage, kept.
    QImage regionImage(const QImage& image, const Rect& region, const Filters::FilterRequest& request);
    // Filters::isDark, kept.
    std::optional<bool> isDark(const std::vector<Point>& points, const Panel& panel, const QImage& image,
                               double margin);

    int regionCount() const { return int(m_regions.count()); }
    int darknessCount() const { return int(m_darkness.size()); }
    // Drops every kept picture, piece and answer.
    void clear();

    // Whole pixels of an image region, as the keys hold them.
    struct PixelRect {
        qint64 x = 0, y = 0, width = 0, height = 0;
        bool operator==(const PixelRect&) const = default;
    };
    struct RegionKey {
        qint64 image = 0;
        PixelRect region;
        Filters::FilterMode mode = Filters::FilterMode::blur;
        qint64 amountTenths = 0;
        bool noise = false;
        bool operator==(const RegionKey&) const = default;
    };
    struct DarknessKey {
        qint64 image = 0;
        PixelRect region;
        bool operator==(const DarknessKey&) const = default;
    };

private:
    ShapePictureCache m_shapePictures;
    QCache<RegionKey, QImage> m_regions;
    QHash<DarknessKey, bool> m_darkness;
};

size_t qHash(const RenderCache::PixelRect& r, size_t seed = 0) noexcept;
size_t qHash(const RenderCache::RegionKey& key, size_t seed = 0) noexcept;
size_t qHash(const RenderCache::DarknessKey& key, size_t seed = 0) noexcept;

} // namespace vorlix::Renderer
