#include "core/model/TextPreset.h"

#include <optional>

namespace vorlix {

using namespace Qt::StringLiterals;

namespace {

struct Look {
    const char16_t* title;
    double fontSize;
    bool fontBold;
    bool textOutline;
    FillMode fill;
    bool textBoxBorder;
    std::optional<double> lineWidth;
};

Look lookOf(TextPreset preset)
{
    switch (preset) {
    case TextPreset::title:
        return {u"Titolo", 34, true, false, FillMode::none, false, std::nullopt};
    case TextPreset::normal:
        return {u"Normale", 22, true, false, FillMode::none, false, std::nullopt};
    case TextPreset::label:
        return {u"Etichetta", 17, true, false, FillMode::solid, true, 2.0};
    case TextPreset::note:
        return {u"Nota", 15, false, false, FillMode::gradient, false, std::nullopt};
    case TextPreset::outlined:
        return {u"Con contorno", 24, true, true, FillMode::none, false, std::nullopt};
    }
    return {u"", 22, true, false, FillMode::none, false, std::nullopt};
}

} // namespace

QString title(TextPreset preset) { return QString::fromUtf16(lookOf(preset).title); }

void apply(TextPreset preset, Style& style)
{
    const Look look = lookOf(preset);
    style.fontSize = look.fontSize;
    style.fontBold = look.fontBold;
    style.textOutline = look.textOutline;
    style.fill = look.fill;
    style.textBoxBorder = look.textBoxBorder;
    if (look.lineWidth)
        style.lineWidth = *look.lineWidth;
}

} // namespace vorlix
