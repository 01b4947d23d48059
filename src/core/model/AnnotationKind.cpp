#include "core/model/AnnotationKind.h"

namespace vorlix {

namespace {

// One row per kind; a fact left out is false.
struct KindFacts {
    AnnotationKind kind;
    const char16_t* displayName;
    bool isTextual = false;
    bool isPanelFilter = false;
    bool isRectangular = false;
    bool hasColor = false;
    bool isOutlinable = false;
    bool isSizedByFont = false;
};

using enum AnnotationKind;

// In declaration order, so a kind's facts are at its own index.
constexpr std::array<KindFacts, annotationKindCount> facts{{
    {.kind = arrow, .displayName = u"freccia", .hasColor = true, .isOutlinable = true},
    {.kind = line, .displayName = u"linea", .hasColor = true, .isOutlinable = true},
    {.kind = rectangle, .displayName = u"rettangolo", .isRectangular = true, .hasColor = true, .isOutlinable = true},
    {.kind = ellipse, .displayName = u"ovale", .isRectangular = true, .hasColor = true, .isOutlinable = true},
    {.kind = text, .displayName = u"testo", .isTextual = true, .hasColor = true, .isSizedByFont = true},
    {.kind = callout, .displayName = u"fumetto", .isTextual = true, .hasColor = true, .isSizedByFont = true},
    {.kind = highlighter, .displayName = u"evidenziatura", .hasColor = true},
    {.kind = pencil, .displayName = u"tratto a mano", .hasColor = true, .isOutlinable = true},
    {.kind = number, .displayName = u"numero", .hasColor = true, .isSizedByFont = true},
    {.kind = stamp, .displayName = u"timbro", .isSizedByFont = true},
    {.kind = cursor, .displayName = u"cursore", .isSizedByFont = true},
    {.kind = pixelate, .displayName = u"pixelatura", .isPanelFilter = true, .isRectangular = true},
    {.kind = blur, .displayName = u"sfocatura", .isPanelFilter = true, .isRectangular = true},
    {.kind = spotlight, .displayName = u"spotlight", .isPanelFilter = true, .isRectangular = true},
    {.kind = lens, .displayName = u"lente", .isPanelFilter = true, .hasColor = true},
}};

constexpr bool tableFollowsDeclarationOrder()
{
    for (std::size_t i = 0; i < facts.size(); ++i)
        if (static_cast<std::size_t>(facts[i].kind) != i || EnumTexts<AnnotationKind>::table[i].first != facts[i].kind)
            return false;
    return true;
}
static_assert(tableFollowsDeclarationOrder());

const KindFacts& factsOf(AnnotationKind kind) { return facts[static_cast<std::size_t>(kind)]; }

} // namespace

QString displayName(AnnotationKind kind) { return QString::fromUtf16(factsOf(kind).displayName); }
bool isTextual(AnnotationKind kind) { return factsOf(kind).isTextual; }
bool isPanelFilter(AnnotationKind kind) { return factsOf(kind).isPanelFilter; }
bool isRectangular(AnnotationKind kind) { return factsOf(kind).isRectangular; }
bool hasColor(AnnotationKind kind) { return factsOf(kind).hasColor; }
bool isOutlinable(AnnotationKind kind) { return factsOf(kind).isOutlinable; }
bool isSizedByFont(AnnotationKind kind) { return factsOf(kind).isSizedByFont; }

} // namespace vorlix
