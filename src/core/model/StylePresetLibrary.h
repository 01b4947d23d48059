#pragma once
// Named styles saved per annotation kind (at most nine per kind, oldest first),
// with one selected preset per kind. Stored as JSON under the "stylePresets" setting.
// Maps are keyed by the kind's JSON text.

#include "core/model/AnnotationKind.h"
#include "core/model/Style.h"

#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlix {

struct StylePreset {
    QString name; // stored trimmed
    Style style;

    bool operator==(const StylePreset&) const = default;
};

struct StylePresetLibrary {
    static constexpr std::size_t maximumPerKind = 9;

    std::map<std::string, std::vector<StylePreset>> byKind;
    std::map<std::string, std::int64_t> selectedByKind;

    bool operator==(const StylePresetLibrary&) const = default;

    std::vector<StylePreset> presets(AnnotationKind kind) const;
    std::optional<std::size_t> selectedIndex(AnnotationKind kind) const;
    std::optional<StylePreset> selectedPreset(AnnotationKind kind) const;
    void select(std::optional<std::int64_t> index, AnnotationKind kind);
    // Overwrites the preset of the same (trimmed) name, or appends a new one dropping
    // the oldest beyond nine; selects it. An empty name saves nothing.
    void save(const Style& style, const QString& name, AnnotationKind kind);
    void update(std::int64_t index, const Style& style, AnnotationKind kind);
    // False when the index is out of range, the name is empty or another preset of
    // the kind already has it.
    bool rename(std::int64_t index, const QString& name, AnnotationKind kind);
    // Keeps the selection on the same preset.
    void remove(std::int64_t index, AnnotationKind kind);
};

template <>
struct JsonCoding<StylePreset> {
    static StylePreset decode(const JsonValue& v);
    static Json encode(const StylePreset& p);
};
template <>
struct JsonCoding<StylePresetLibrary> {
    static StylePresetLibrary decode(const JsonValue& v);
    static Json encode(const StylePresetLibrary& l);
};

} // namespace vorlix
