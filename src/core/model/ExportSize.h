#pragma once
// The export size the user picks for a picture: each case stands for an export
// resolution. Stored by its text under the "exportSize" setting. The pixel size an
// export at a choice will have needs the canvas bounds (text measuring), so it is
// `pixelSize(ExportSize, const DocumentModel&)` in core/render/Exporter.h.

#include "core/model/ExportOptions.h"
#include "core/model/Json.h"

#include <QString>

namespace vorlix {

enum class ExportSize { original, normal, maxWidth1200, maxWidth800 };

template <>
struct EnumTexts<ExportSize> {
    static constexpr const char* typeName = "ExportSize";
    static constexpr std::array table{std::pair{ExportSize::original, std::string_view("original")},
                                      std::pair{ExportSize::normal, std::string_view("normal")},
                                      std::pair{ExportSize::maxWidth1200, std::string_view("maxWidth1200")},
                                      std::pair{ExportSize::maxWidth800, std::string_view("maxWidth800")}};
};

inline QString title(ExportSize size)
{
    switch (size) {
    case ExportSize::original:
        return QStringLiteral("Originale");
    case ExportSize::normal:
        return QStringLiteral("Normale");
    case ExportSize::maxWidth1200:
        return QStringLiteral("Larghezza massima 1200 px");
    case ExportSize::maxWidth800:
        return QStringLiteral("Larghezza massima 800 px");
    }
    return {};
}

inline ExportOptions::Resolution resolution(ExportSize size)
{
    switch (size) {
    case ExportSize::original:
        return ExportOptions::Native{};
    case ExportSize::normal:
        return ExportOptions::Normal{};
    case ExportSize::maxWidth1200:
        return ExportOptions::MaxWidth{1200};
    case ExportSize::maxWidth800:
        return ExportOptions::MaxWidth{800};
    }
    return ExportOptions::Native{};
}

} // namespace vorlix
