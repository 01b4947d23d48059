#include "core/render/PathCache.h"

#include <cstdint>
#include <cstring>

namespace vorlix {

namespace {

// Enough for every shape of a busy document, redrawn over and over.
constexpr std::size_t shapePathCapacity = 512;

} // namespace

std::size_t PathCache::KeyHash::operator()(const std::vector<double>& key) const noexcept
{
    std::size_t h = key.size();
    for (const double v : key) {
        const double canonical = v + 0.0; // -0 and +0 hash alike, as they compare equal
        std::uint64_t bits = 0;
        std::memcpy(&bits, &canonical, sizeof bits);
        h ^= bits + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    }
    return h;
}

QPainterPath PathCache::path(const std::vector<double>& key, const std::function<QPainterPath()>& build)
{
    if (const auto it = m_entries.find(key); it != m_entries.end())
        return it->second;
    QPainterPath built = build();
    if (m_entries.size() >= m_capacity)
        m_entries.clear();
    m_entries.emplace(key, built);
    return built;
}

PathCache& PathCache::forThisThread()
{
    static thread_local PathCache cache(shapePathCapacity);
    return cache;
}

} // namespace vorlix
