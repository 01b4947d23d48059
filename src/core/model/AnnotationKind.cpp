#include "core/model/AnnotationKind.h"

namespace vorlix {

namespace {

struct KindFacts {
    AnnotationKind kind;
    const char16_t* displayName;
    bool isTextual;
    bool isPanelFilter;
    bool isRectangular;
    bool hasColor;
    bool outlinable;
};

// In declaration order, so a kind's facts are at its own index.
constexpr std::array<KindFacts, annotationKindCount> facts{{
    {AnnotationKind::arrow, u"freccia", false, false, false, true, true},
    {AnnotationKind::line, u"linea", false, false, false, true, true},
    {AnnotationKind::rectangle, u"rettangolo", false, false, true, true, true},
    {AnnotationKind::ellipse, u"ovale", false, false, true, true, true},
    {AnnotationKind::text, u"testo", true, false, false, true, false},
    {AnnotationKind::callout, u"fumetto", true, false, false, true, false},
    {AnnotationKind::highlighter, u"evidenziatura", false, false, false, true, false},
    {AnnotationKind::pencil, u"tratto a mano", false, false, false, true, true},
    {AnnotationKind::number, u"numero", false, false, false, true, false},
    {AnnotationKind::stamp, u"timbro", false, false, false, false, false},
    {AnnotationKind::cursor, u"cursore", false, false, false, false, false},
    {AnnotationKind::pixelate, u"pixelatura", false, true, true, false, false},
    {AnnotationKind::blur, u"sfocatura", false, true, true, false, false},
    {AnnotationKind::spotlight, u"spotlight", false, true, true, false, false},
    {AnnotationKind::lens, u"lente", false, true, false, true, false},
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
bool isOutlinable(AnnotationKind kind) { return factsOf(kind).outlinable; }

} // namespace vorlix
