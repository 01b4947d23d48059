#pragma once
// The fifteen kinds of drawn object, with the facts the whole system branches on.
// Every per-kind fact lives in the one table in AnnotationKind.cpp.

#include "core/model/Json.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vorlix {

enum class AnnotationKind : std::uint8_t {
    arrow,
    line,
    rectangle,
    ellipse,
    text,
    callout,
    highlighter,
    pencil,
    number,
    stamp,
    cursor,
    pixelate,
    blur,
    spotlight,
    lens,
};

template <>
struct EnumTexts<AnnotationKind> {
    static constexpr const char* typeName = "AnnotationKind";
    static constexpr std::array table{
        std::pair{AnnotationKind::arrow, std::string_view("arrow")},
        std::pair{AnnotationKind::line, std::string_view("line")},
        std::pair{AnnotationKind::rectangle, std::string_view("rectangle")},
        std::pair{AnnotationKind::ellipse, std::string_view("ellipse")},
        std::pair{AnnotationKind::text, std::string_view("text")},
        std::pair{AnnotationKind::callout, std::string_view("callout")},
        std::pair{AnnotationKind::highlighter, std::string_view("highlighter")},
        std::pair{AnnotationKind::pencil, std::string_view("pencil")},
        std::pair{AnnotationKind::number, std::string_view("number")},
        std::pair{AnnotationKind::stamp, std::string_view("stamp")},
        std::pair{AnnotationKind::cursor, std::string_view("cursor")},
        std::pair{AnnotationKind::pixelate, std::string_view("pixelate")},
        std::pair{AnnotationKind::blur, std::string_view("blur")},
        std::pair{AnnotationKind::spotlight, std::string_view("spotlight")},
        std::pair{AnnotationKind::lens, std::string_view("lens")},
    };
};

inline constexpr std::size_t annotationKindCount = EnumTexts<AnnotationKind>::table.size();

// The lower-case Italian name of an object of the kind ("freccia", "fumetto" ...).
QString displayName(AnnotationKind kind);
// Carries user text in a text box (text, callout).
bool isTextual(AnnotationKind kind);
// Works on the image under it; given to the panel under it when created.
bool isPanelFilter(AnnotationKind kind);
// Geometry is the rectangle spanned by the first two points.
bool isRectangular(AnnotationKind kind);
// Has a colour of its own.
bool hasColor(AnnotationKind kind);
// May get the contrasting shape outline.
bool isOutlinable(AnnotationKind kind);
// Its size is set by its font size rather than by a line width or an intensity.
bool isSizedByFont(AnnotationKind kind);

} // namespace vorlix
