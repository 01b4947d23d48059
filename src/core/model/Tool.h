#pragma once
// The editing tools of the annotation editor, with the facts the editor looks up for each:
// its Italian title, its one-letter shortcut and the kind of object it draws. What a tool
// does on the canvas belongs to the canvas. One table in Tool.cpp holds every fact.
//
// The text of a tool is its case name ("colorPicker"): menus carry it, and `toolNamed`
// reads it back.

#include "core/model/AnnotationKind.h"

#include <QString>

#include <array>
#include <optional>
#include <span>

namespace vorlix {

enum class Tool : std::uint8_t {
    select,
    arrow,
    line,
    rectangle,
    ellipse,
    pencil,
    highlighter,
    number,
    text,
    callout,
    stamp,
    cursor,
    pixelate,
    spotlight,
    lens,
    colorPicker,
    ruler,
    crop,
    cutStrip,
    cutOut,
    ocr,
};

inline constexpr std::size_t toolCount = 21;

// Every tool, in the order of the declaration, which is also the toolbar's.
std::span<const Tool> allTools();

// "Freccia", "Mano (seleziona e sposta)" ...
QString title(Tool tool);
// The lower-case shortcut letter; menus and tooltips show it upper-cased.
char key(Tool tool);
// The kind the tool draws; nothing for the seven tools that draw nothing. No tool draws blur.
std::optional<AnnotationKind> annotationKind(Tool tool);
// The case name, "colorPicker".
QString rawValue(Tool tool);

// The first tool whose key is exactly `key` (lower case only); nothing when none is.
std::optional<Tool> toolForKey(char key);
// The tool whose case name is exactly `text`.
std::optional<Tool> toolNamed(const QString& text);

} // namespace vorlix
