#pragma once
// One-click looks for text annotations.

#include "core/model/Style.h"

#include <QString>

namespace vorlix {

enum class TextPreset { title, normal, label, note, outlined };

template <>
struct EnumTexts<TextPreset> {
    static constexpr const char* typeName = "TextPreset";
    static constexpr std::array table{std::pair{TextPreset::title, std::string_view("title")},
                                      std::pair{TextPreset::normal, std::string_view("normal")},
                                      std::pair{TextPreset::label, std::string_view("label")},
                                      std::pair{TextPreset::note, std::string_view("note")},
                                      std::pair{TextPreset::outlined, std::string_view("outlined")}};
};

QString title(TextPreset preset);
// Writes the preset's size, weight, outline, fill and box; colours stay.
void apply(TextPreset preset, Style& style);

} // namespace vorlix
