#pragma once
// A bounded least-recently-used memo of text box sizes, keyed by everything that decides
// a box's size: the text, the font's family, size and weight, the padding and the fixed
// width. Not synchronised: one instance belongs to one thread.

#include "core/model/Geometry.h"

#include <QString>

#include <cstddef>
#include <list>
#include <optional>
#include <unordered_map>

namespace vorlix {

struct TextSizeKey {
    QString text;
    std::optional<QString> fontName;
    double fontSize = 0;
    bool bold = false;
    double padding = 0;
    std::optional<double> width;

    bool operator==(const TextSizeKey&) const = default;
};

struct TextSizeKeyHash {
    std::size_t operator()(const TextSizeKey& key) const noexcept;
};

class TextSizeCache {
public:
    explicit TextSizeCache(std::size_t capacity) : m_capacity(capacity) {}

    // The remembered size, which becomes the most recently used.
    std::optional<Size> find(const TextSizeKey& key);
    // Remembers a size, dropping the least recently used entry when full.
    void insert(TextSizeKey key, Size size);
    void clear();
    std::size_t count() const { return m_index.size(); }

private:
    using Entry = std::pair<TextSizeKey, Size>;
    std::size_t m_capacity;
    std::list<Entry> m_entries; // most recently used first
    std::unordered_map<TextSizeKey, std::list<Entry>::iterator, TextSizeKeyHash> m_index;
};

} // namespace vorlix
