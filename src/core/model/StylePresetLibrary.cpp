#include "core/model/StylePresetLibrary.h"

#include <algorithm>

namespace vorlix {

namespace {

std::string keyOf(AnnotationKind kind) { return std::string(enumText(kind)); }

QString trimmedName(const QString& name) { return name.trimmed(); }

bool inRange(std::int64_t index, std::size_t count) { return index >= 0 && static_cast<std::size_t>(index) < count; }

constexpr auto presetFields = std::tuple{
    required("name", &StylePreset::name),
    required("style", &StylePreset::style),
};

} // namespace

std::vector<StylePreset> StylePresetLibrary::presets(AnnotationKind kind) const
{
    const auto it = byKind.find(keyOf(kind));
    return it == byKind.end() ? std::vector<StylePreset>{} : it->second;
}

std::optional<std::size_t> StylePresetLibrary::selectedIndex(AnnotationKind kind) const
{
    const auto it = selectedByKind.find(keyOf(kind));
    if (it == selectedByKind.end() || !inRange(it->second, presets(kind).size()))
        return std::nullopt;
    return static_cast<std::size_t>(it->second);
}

std::optional<StylePreset> StylePresetLibrary::selectedPreset(AnnotationKind kind) const
{
    const auto index = selectedIndex(kind);
    if (!index)
        return std::nullopt;
    return presets(kind)[*index];
}

void StylePresetLibrary::select(std::optional<std::int64_t> index, AnnotationKind kind)
{
    if (index && inRange(*index, presets(kind).size()))
        selectedByKind[keyOf(kind)] = *index;
    else
        selectedByKind.erase(keyOf(kind));
}

void StylePresetLibrary::save(const Style& style, const QString& name, AnnotationKind kind)
{
    const QString trimmed = trimmedName(name);
    if (trimmed.isEmpty())
        return;
    std::vector<StylePreset> list = presets(kind);
    std::size_t chosen = 0;
    const auto existing =
        std::find_if(list.begin(), list.end(), [&](const StylePreset& p) { return p.name == trimmed; });
    if (existing != list.end()) {
        existing->style = style;
        chosen = static_cast<std::size_t>(existing - list.begin());
    } else {
        list.push_back({trimmed, style});
        if (list.size() > maximumPerKind)
            list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(list.size() - maximumPerKind));
        chosen = list.size() - 1;
    }
    byKind[keyOf(kind)] = std::move(list);
    selectedByKind[keyOf(kind)] = static_cast<std::int64_t>(chosen);
}

void StylePresetLibrary::update(std::int64_t index, const Style& style, AnnotationKind kind)
{
    const auto it = byKind.find(keyOf(kind));
    if (it == byKind.end() || !inRange(index, it->second.size()))
        return;
    it->second[static_cast<std::size_t>(index)].style = style;
}

bool StylePresetLibrary::rename(std::int64_t index, const QString& name, AnnotationKind kind)
{
    const QString trimmed = trimmedName(name);
    const auto it = byKind.find(keyOf(kind));
    if (it == byKind.end() || !inRange(index, it->second.size()) || trimmed.isEmpty())
        return false;
    std::vector<StylePreset>& list = it->second;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (static_cast<std::int64_t>(i) != index && list[i].name == trimmed)
            return false;
    list[static_cast<std::size_t>(index)].name = trimmed;
    return true;
}

void StylePresetLibrary::remove(std::int64_t index, AnnotationKind kind)
{
    const auto it = byKind.find(keyOf(kind));
    if (it == byKind.end() || !inRange(index, it->second.size()))
        return;
    const auto selected = selectedIndex(kind);
    it->second.erase(it->second.begin() + index);
    if (it->second.empty())
        byKind.erase(it);
    if (!selected)
        return;
    const auto s = static_cast<std::int64_t>(*selected);
    if (s == index)
        selectedByKind.erase(keyOf(kind));
    else if (index < s)
        selectedByKind[keyOf(kind)] = s - 1;
}

StylePreset JsonCoding<StylePreset>::decode(const JsonValue& v) { return decodeRecord<StylePreset>(v, presetFields); }
Json JsonCoding<StylePreset>::encode(const StylePreset& p) { return encodeRecord(p, presetFields); }

StylePresetLibrary JsonCoding<StylePresetLibrary>::decode(const JsonValue& v)
{
    StylePresetLibrary library;
    v.expectObject();
    if (auto byKind = v.optionalKey("byKind"))
        byKind->forEachMember([&](const std::string& key, const JsonValue& presets) {
            library.byKind[key] = decodeJson<std::vector<StylePreset>>(presets);
        });
    if (auto selected = v.optionalKey("selectedByKind"))
        selected->forEachMember(
            [&](const std::string& key, const JsonValue& index) { library.selectedByKind[key] = index.toInt64(); });
    return library;
}

Json JsonCoding<StylePresetLibrary>::encode(const StylePresetLibrary& l)
{
    Json byKind = Json::object();
    for (const auto& [key, presets] : l.byKind)
        byKind[key] = encodeJson(presets);
    Json selected = Json::object();
    for (const auto& [key, index] : l.selectedByKind)
        selected[key] = index;
    return Json{{"byKind", byKind}, {"selectedByKind", selected}};
}

} // namespace vorlix
