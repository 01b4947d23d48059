#include "core/model/Tool.h"

#include <algorithm>

namespace vorlix {

namespace {

struct ToolFacts {
    Tool tool;
    const char* name;
    const char16_t* title;
    char key;
    std::optional<AnnotationKind> kind;
};

using K = AnnotationKind;

// In the order of the enumeration.
constexpr std::array<ToolFacts, toolCount> facts{{
    {Tool::select, "select", u"Mano (seleziona e sposta)", 'v', std::nullopt},
    {Tool::arrow, "arrow", u"Freccia", 'a', K::arrow},
    {Tool::line, "line", u"Linea", 'l', K::line},
    {Tool::rectangle, "rectangle", u"Rettangolo", 'r', K::rectangle},
    {Tool::ellipse, "ellipse", u"Ovale", 'o', K::ellipse},
    {Tool::pencil, "pencil", u"Matita", 'p', K::pencil},
    {Tool::highlighter, "highlighter", u"Evidenziatore", 'h', K::highlighter},
    {Tool::number, "number", u"Numeri", 'n', K::number},
    {Tool::text, "text", u"Testo", 't', K::text},
    {Tool::callout, "callout", u"Fumetto", 'f', K::callout},
    {Tool::stamp, "stamp", u"Timbri ed emoji", 'g', K::stamp},
    {Tool::cursor, "cursor", u"Cursore", 'u', K::cursor},
    {Tool::pixelate, "pixelate", u"Pixela", 'x', K::pixelate},
    {Tool::spotlight, "spotlight", u"Spotlight", 's', K::spotlight},
    {Tool::lens, "lens", u"Lente", 'z', K::lens},
    {Tool::colorPicker, "colorPicker", u"Contagocce", 'i', std::nullopt},
    {Tool::ruler, "ruler", u"Righello", 'm', std::nullopt},
    {Tool::crop, "crop", u"Ritaglia", 'c', std::nullopt},
    {Tool::cutStrip, "cutStrip", u"Taglia una striscia", 'k', std::nullopt},
    {Tool::cutOut, "cutOut", u"Scontorna", 'b', std::nullopt},
    {Tool::ocr, "ocr", u"Testo da immagine (OCR)", 'e', std::nullopt},
}};

constexpr bool inDeclarationOrder()
{
    for (std::size_t i = 0; i < facts.size(); ++i)
        if (std::size_t(facts[i].tool) != i)
            return false;
    return true;
}
static_assert(inDeclarationOrder());

constexpr std::array<Tool, toolCount> tools = [] {
    std::array<Tool, toolCount> all{};
    for (std::size_t i = 0; i < facts.size(); ++i)
        all[i] = facts[i].tool;
    return all;
}();

const ToolFacts& factsOf(Tool tool) { return facts[std::size_t(tool)]; }

} // namespace

std::span<const Tool> allTools() { return tools; }

QString title(Tool tool) { return QString::fromUtf16(factsOf(tool).title); }

char key(Tool tool) { return factsOf(tool).key; }

std::optional<AnnotationKind> annotationKind(Tool tool) { return factsOf(tool).kind; }

QString rawValue(Tool tool) { return QString::fromLatin1(factsOf(tool).name); }

std::optional<Tool> toolForKey(char key)
{
    const auto found = std::find_if(facts.begin(), facts.end(), [&](const ToolFacts& f) { return f.key == key; });
    return found == facts.end() ? std::nullopt : std::optional(found->tool);
}

std::optional<Tool> toolNamed(const QString& text)
{
    const auto found =
        std::find_if(facts.begin(), facts.end(), [&](const ToolFacts& f) { return text == QLatin1String(f.name); });
    return found == facts.end() ? std::nullopt : std::optional(found->tool);
}

} // namespace vorlix
