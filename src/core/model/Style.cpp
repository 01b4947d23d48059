#include "core/model/Style.h"

#include <algorithm>

namespace vorlix {

using namespace Qt::StringLiterals;

QString title(NumberShape shape)
{
    switch (shape) {
    case NumberShape::circle:
        return u"Cerchio"_s;
    case NumberShape::drop:
        return u"Goccia"_s;
    }
    return {};
}

QString title(CursorShape shape)
{
    switch (shape) {
    case CursorShape::arrow:
        return u"Freccia"_s;
    case CursorShape::whiteArrow:
        return u"Freccia bianca"_s;
    case CursorShape::pointingHand:
        return u"Mano che indica"_s;
    case CursorShape::textBeam:
        return u"Testo"_s;
    case CursorShape::resize:
        return u"Ridimensiona in orizzontale"_s;
    case CursorShape::resizeVertical:
        return u"Ridimensiona in verticale"_s;
    case CursorShape::closedHand:
        return u"Mano che trascina"_s;
    }
    return {};
}

namespace {

QString letters(long long n)
{
    QString out;
    while (true) {
        const long long q = n - 1;
        out.prepend(QChar(u'A' + static_cast<char16_t>(q % 26)));
        n = q / 26;
        if (q <= 25)
            break;
    }
    return out;
}

QString roman(long long n)
{
    static constexpr std::pair<int, const char*> table[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"},
    };
    QString out;
    for (const auto& [value, numeral] : table) {
        while (n >= value) {
            out += QLatin1StringView(numeral);
            n -= value;
        }
    }
    return out;
}

} // namespace

QString label(NumberFormat format, long long n)
{
    switch (format) {
    case NumberFormat::upperLetters:
        if (n >= 1)
            return letters(n);
        break;
    case NumberFormat::lowerLetters:
        if (n >= 1)
            return letters(n).toLower();
        break;
    case NumberFormat::roman:
        if (n >= 1 && n <= 3999)
            return roman(n);
        break;
    case NumberFormat::arabic:
        break;
    }
    return QString::number(n);
}

Style Style::defaults(AnnotationKind kind)
{
    Style s;
    switch (kind) {
    case AnnotationKind::arrow:
        s.lineWidth = 9;
        break;
    case AnnotationKind::line:
    case AnnotationKind::rectangle:
    case AnnotationKind::ellipse:
    case AnnotationKind::pencil:
        break;
    case AnnotationKind::text:
        s.lineWidth = 2;
        break;
    case AnnotationKind::callout:
        s.fillColor = Palette::white();
        s.fill = FillMode::solid;
        s.lineWidth = 2;
        s.fontSize = 17;
        s.fontBold = false;
        s.textBoxBorder = true;
        break;
    case AnnotationKind::highlighter:
        s.strokeColor = Palette::yellow();
        s.lineWidth = 18;
        s.opacity = 0.7;
        break;
    case AnnotationKind::number:
        s.fontSize = 18;
        break;
    case AnnotationKind::stamp:
        s.fontSize = 44;
        break;
    case AnnotationKind::cursor:
        s.fontSize = 28;
        s.clickMark = true;
        break;
    case AnnotationKind::pixelate:
        s.filterIntensity = 10;
        break;
    case AnnotationKind::blur:
        s.filterIntensity = 8;
        break;
    case AnnotationKind::spotlight:
        s.cornerRadius = 6;
        s.filterIntensity = 0.55;
        break;
    case AnnotationKind::lens:
        s.lineWidth = 3;
        s.filterIntensity = 2.5;
        break;
    }
    return s;
}

RGBAColor Style::textOutlineColor() const
{
    static const RGBAColor dark = RGBAColor::hex("#1C1C1E");
    return strokeColor.luma() > 0.55 ? dark : RGBAColor::white();
}

RGBAColor Style::textBoxFillColor() const { return fillColor ? *fillColor : textOutlineColor(); }

RGBAColor Style::shapeOutlineColor() const
{
    return strokeColor.contrastRatio(RGBAColor::white()) >= strokeColor.contrastRatio(RGBAColor::black())
               ? RGBAColor::white()
               : RGBAColor::black();
}

double Style::shapeOutlineWidth() const { return std::max(std::min(lineWidth * 0.3, 4.0), 1.5); }

std::array<double, 2> Style::dashPattern(double lineWidth)
{
    const double v = lineWidth > 1 ? lineWidth : 1;
    return {3 * v, 2.2 * v};
}

namespace {

// Decoding order; textBoxBorder is read tenth, as older readers did.
constexpr auto styleFields = std::tuple{
    field("strokeColor", &Style::strokeColor),
    field("fillColor", &Style::fillColor),
    field("lineWidth", &Style::lineWidth),
    field("fill", &Style::fill),
    field("fillOpacity", &Style::fillOpacity),
    field("opacity", &Style::opacity),
    field("cornerRadius", &Style::cornerRadius),
    field("dashed", &Style::dashed),
    field("filterIntensity", &Style::filterIntensity),
    field("textBoxBorder", &Style::textBoxBorder),
    field("pixelateRandom", &Style::pixelateRandom),
    field("pixelateAsBlur", &Style::pixelateAsBlur),
    field("followsText", &Style::followsText),
    field("arrowHeadStyle", &Style::arrowHeadStyle),
    field("arrowDoubleHead", &Style::arrowDoubleHead),
    field("arrowHeadColor", &Style::arrowHeadColor),
    field("arrowHeadScale", &Style::arrowHeadScale),
    field("arrowTaper", &Style::arrowTaper),
    field("fontName", &Style::fontName),
    field("fontSize", &Style::fontSize),
    field("fontBold", &Style::fontBold),
    field("textOutline", &Style::textOutline),
    field("textAlignment", &Style::textAlignment),
    field("shapeOutline", &Style::shapeOutline),
    field("chalk", &Style::chalk),
    field("numberFormat", &Style::numberFormat),
    field("numberShape", &Style::numberShape),
    field("cursorShape", &Style::cursorShape),
    field("clickMark", &Style::clickMark),
    field("showsMeasure", &Style::showsMeasure),
    field("lineDots", &Style::lineDots),
};
static_assert(std::tuple_size_v<decltype(styleFields)> == 31);

} // namespace

Style JsonCoding<Style>::decode(const JsonValue& v)
{
    Style s;
    decodeFields(v, s, styleFields);
    return s;
}

Json JsonCoding<Style>::encode(const Style& s)
{
    Json out = Json::object();
    encodeFields(out, s, styleFields);
    return out;
}

} // namespace vorlix
