#include "core/render/RenderCache.h"

namespace vorlix::Renderer {

namespace {

RenderCache::PixelRect pixelRect(const Rect& r)
{
    return {roundedInt64(r.minX()), roundedInt64(r.minY()), roundedInt64(r.width()), roundedInt64(r.height())};
}

} // namespace

size_t qHash(const RenderCache::PixelRect& r, size_t seed) noexcept
{
    return qHashMulti(seed, r.x, r.y, r.width, r.height);
}

size_t qHash(const RenderCache::RegionKey& key, size_t seed) noexcept
{
    return qHashMulti(seed, key.image, key.region, int(key.mode), key.amountTenths, key.noise);
}

size_t qHash(const RenderCache::DarknessKey& key, size_t seed) noexcept
{
    return qHashMulti(seed, key.image, key.region);
}

RenderCache::RenderCache() : m_shapePictures(ShapePictureCache::canvasPixelCapacity), m_regions(regionCapacity) {}

QImage RenderCache::regionImage(const QImage& image, const Rect& region, const Filters::FilterRequest& request)
{
    if (image.isNull())
        return {};
    const RegionKey key{image.cacheKey(), pixelRect(region), request.mode, saturatingInt64(request.amount * 10),
                        request.noise};
    if (const QImage* kept = m_regions.object(key))
        return *kept;
    QImage piece = Filters::regionImage(image, region, request);
    if (!piece.isNull())
        m_regions.insert(key, new QImage(piece), 1);
    return piece;
}

std::optional<bool> RenderCache::isDark(const std::vector<Point>& points, const Panel& panel, const QImage& image,
                                        double margin)
{
    if (image.isNull())
        return std::nullopt;
    const std::optional<Rect> region = Filters::darknessRegion(points, panel, margin);
    if (!region)
        return std::nullopt;
    const DarknessKey key{image.cacheKey(), pixelRect(*region)};
    if (const auto found = m_darkness.constFind(key); found != m_darkness.constEnd())
        return *found;
    const std::optional<bool> dark = Filters::isDarkRegion(image, *region);
    if (dark) {
        if (m_darkness.size() >= darknessCapacity)
            m_darkness.clear();
        m_darkness.insert(key, *dark);
    }
    return dark;
}

void RenderCache::clear()
{
    m_shapePictures.clear();
    m_regions.clear();
    m_darkness.clear();
}

} // namespace vorlix::Renderer
