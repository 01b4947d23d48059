#include "core/shapes/TextSizeCache.h"

#include <QHash>

#include <functional>

namespace vorlix {

std::size_t TextSizeKeyHash::operator()(const TextSizeKey& key) const noexcept
{
    std::size_t h = qHash(key.text);
    const auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(key.fontName ? qHash(*key.fontName) + 1 : 0);
    // +0.0 turns -0.0 into 0.0, which compares equal and must hash the same.
    mix(std::hash<double>{}(key.fontSize + 0.0));
    mix(key.bold ? 1 : 0);
    mix(std::hash<double>{}(key.padding + 0.0));
    mix(key.width ? std::hash<double>{}(*key.width + 0.0) : 0x5bd1e995);
    return h;
}

std::optional<Size> TextSizeCache::find(const TextSizeKey& key)
{
    const auto it = m_index.find(key);
    if (it == m_index.end())
        return std::nullopt;
    m_entries.splice(m_entries.begin(), m_entries, it->second);
    return it->second->second;
}

void TextSizeCache::insert(TextSizeKey key, Size size)
{
    if (m_capacity == 0)
        return;
    if (const auto it = m_index.find(key); it != m_index.end()) {
        it->second->second = size;
        m_entries.splice(m_entries.begin(), m_entries, it->second);
        return;
    }
    if (m_index.size() >= m_capacity) {
        m_index.erase(m_entries.back().first);
        m_entries.pop_back();
    }
    m_entries.emplace_front(std::move(key), size);
    m_index.emplace(m_entries.front().first, m_entries.begin());
}

void TextSizeCache::clear()
{
    m_index.clear();
    m_entries.clear();
}

} // namespace vorlix
