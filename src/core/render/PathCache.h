#pragma once
// Built paths kept by the geometric inputs they were built from, so that redrawing an
// unchanged shape skips building its path again (a callout bubble's path, for one, is a
// rounded rectangle united with its tail, an intersection pass of its own). Keys are
// exact: any change of an input, however small, builds afresh. Bounded: when full it
// starts afresh. Not synchronised: one instance belongs to one thread. The renderer's is
// per thread (forThisThread): a path depends on nothing but its key, so it can never go
// stale and needs no owner; exports on a worker thread fill that thread's own.

#include <QPainterPath>

#include <cstddef>
#include <functional>
#include <unordered_map>
#include <vector>

namespace vorlix {

class PathCache {
public:
    explicit PathCache(std::size_t capacity) : m_capacity(capacity) {}

    // The path kept under `key`, built by `build` and kept when there is none. Keys of
    // different path builders must differ, e.g. by a leading tag.
    QPainterPath path(const std::vector<double>& key, const std::function<QPainterPath()>& build);
    std::size_t count() const { return m_entries.size(); }

    // The calling thread's cache for the renderer's shapes.
    static PathCache& forThisThread();

private:
    struct KeyHash {
        std::size_t operator()(const std::vector<double>& key) const noexcept;
    };

    std::size_t m_capacity;
    std::unordered_map<std::vector<double>, QPainterPath, KeyHash> m_entries;
};

} // namespace vorlix
