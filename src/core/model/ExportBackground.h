#pragma once
// The background the user picks for an exported picture: the document's own, none
// (transparent) or white.

#include "core/model/DocumentModel.h"
#include "core/model/Json.h"

#include <QString>

#include <optional>

namespace vorlix {

enum class ExportBackground { document, transparent, white };

template <>
struct EnumTexts<ExportBackground> {
    static constexpr const char* typeName = "ExportBackground";
    static constexpr std::array table{std::pair{ExportBackground::document, std::string_view("document")},
                                      std::pair{ExportBackground::transparent, std::string_view("transparent")},
                                      std::pair{ExportBackground::white, std::string_view("white")}};
};

inline QString title(ExportBackground background)
{
    switch (background) {
    case ExportBackground::document:
        return QStringLiteral("Come nel documento");
    case ExportBackground::transparent:
        return QStringLiteral("Trasparente");
    case ExportBackground::white:
        return QStringLiteral("Bianco");
    }
    return {};
}

// The background an export paints; nothing means the document's own.
inline std::optional<CanvasBackground> canvasBackground(ExportBackground background)
{
    switch (background) {
    case ExportBackground::document:
        return std::nullopt;
    case ExportBackground::transparent:
        return TransparentBackground{};
    case ExportBackground::white:
        return ColorBackground{RGBAColor{1, 1, 1, 1}};
    }
    return std::nullopt;
}

} // namespace vorlix
