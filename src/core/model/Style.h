#pragma once
// The drawing options of one annotation. Lengths are canvas points. The field
// defaults are the default style of a line, and also what decoding puts in place
// of a missing key: an empty JSON object decodes to a line's default style.

#include "core/model/AnnotationKind.h"
#include "core/model/Color.h"

#include <QString>

#include <array>
#include <optional>

namespace vorlix {

enum class FillMode { none, solid, translucent, gradient };
enum class TextAlignment { left, center, right };
enum class ArrowHeadStyle { filled, open, outline };
enum class NumberShape { circle, drop };
enum class CursorShape { arrow, whiteArrow, pointingHand, textBeam, resize, resizeVertical, closedHand };
enum class NumberFormat { arabic, roman, upperLetters, lowerLetters };

template <>
struct EnumTexts<FillMode> {
    static constexpr const char* typeName = "FillMode";
    static constexpr std::array table{std::pair{FillMode::none, std::string_view("none")},
                                      std::pair{FillMode::solid, std::string_view("solid")},
                                      std::pair{FillMode::translucent, std::string_view("translucent")},
                                      std::pair{FillMode::gradient, std::string_view("gradient")}};
};
template <>
struct EnumTexts<TextAlignment> {
    static constexpr const char* typeName = "TextAlignment";
    static constexpr std::array table{std::pair{TextAlignment::left, std::string_view("left")},
                                      std::pair{TextAlignment::center, std::string_view("center")},
                                      std::pair{TextAlignment::right, std::string_view("right")}};
};
template <>
struct EnumTexts<ArrowHeadStyle> {
    static constexpr const char* typeName = "ArrowHeadStyle";
    static constexpr std::array table{std::pair{ArrowHeadStyle::filled, std::string_view("filled")},
                                      std::pair{ArrowHeadStyle::open, std::string_view("open")},
                                      std::pair{ArrowHeadStyle::outline, std::string_view("outline")}};
};
template <>
struct EnumTexts<NumberShape> {
    static constexpr const char* typeName = "NumberShape";
    static constexpr std::array table{std::pair{NumberShape::circle, std::string_view("circle")},
                                      std::pair{NumberShape::drop, std::string_view("drop")}};
};
template <>
struct EnumTexts<CursorShape> {
    static constexpr const char* typeName = "CursorShape";
    static constexpr std::array table{std::pair{CursorShape::arrow, std::string_view("arrow")},
                                      std::pair{CursorShape::whiteArrow, std::string_view("whiteArrow")},
                                      std::pair{CursorShape::pointingHand, std::string_view("pointingHand")},
                                      std::pair{CursorShape::textBeam, std::string_view("textBeam")},
                                      std::pair{CursorShape::resize, std::string_view("resize")},
                                      std::pair{CursorShape::resizeVertical, std::string_view("resizeVertical")},
                                      std::pair{CursorShape::closedHand, std::string_view("closedHand")}};
};
template <>
struct EnumTexts<NumberFormat> {
    static constexpr const char* typeName = "NumberFormat";
    static constexpr std::array table{std::pair{NumberFormat::arabic, std::string_view("arabic")},
                                      std::pair{NumberFormat::roman, std::string_view("roman")},
                                      std::pair{NumberFormat::upperLetters, std::string_view("upperLetters")},
                                      std::pair{NumberFormat::lowerLetters, std::string_view("lowerLetters")}};
};

QString title(NumberShape shape);
QString title(CursorShape shape);
// "A".."Z", "AA"... for letters (n >= 1), Roman numerals for 1...3999, decimal otherwise.
QString label(NumberFormat format, long long n);

struct Style {
    RGBAColor strokeColor{1, 56 / 255.0, 56 / 255.0, 1}; // the palette's red, "#FF3838"
    std::optional<RGBAColor> fillColor;
    double lineWidth = 4;
    FillMode fill = FillMode::none;
    double fillOpacity = 0.3;
    double opacity = 1;
    double cornerRadius = 4;
    bool dashed = false;
    double filterIntensity = 12;
    bool pixelateRandom = false;
    bool pixelateAsBlur = false;
    bool followsText = true;
    ArrowHeadStyle arrowHeadStyle = ArrowHeadStyle::filled;
    bool arrowDoubleHead = false;
    std::optional<RGBAColor> arrowHeadColor;
    double arrowHeadScale = 1;
    double arrowTaper = 0.2;
    std::optional<QString> fontName;
    double fontSize = 22;
    bool fontBold = true;
    bool textOutline = false;
    TextAlignment textAlignment = TextAlignment::left;
    bool textBoxBorder = false;
    bool shapeOutline = false;
    bool chalk = false;
    NumberFormat numberFormat = NumberFormat::arabic;
    NumberShape numberShape = NumberShape::circle;
    CursorShape cursorShape = CursorShape::arrow;
    bool clickMark = false;
    bool showsMeasure = false;
    bool lineDots = false;

    bool operator==(const Style&) const = default;

    // The default style of each kind: the base values above with a few per kind.
    static Style defaults(AnnotationKind kind);

    RGBAColor effectiveFillColor() const { return fillColor.value_or(strokeColor); }
    RGBAColor effectiveArrowHeadColor() const { return arrowHeadColor.value_or(strokeColor); }
    RGBAColor textOutlineColor() const;
    RGBAColor textBoxFillColor() const;
    RGBAColor shapeOutlineColor() const;
    double shapeOutlineWidth() const;
    bool hasTextBox() const { return textBoxBorder || fill != FillMode::none; }
    // A dash three times and a gap 2.2 times the line width (at least 1).
    static std::array<double, 2> dashPattern(double lineWidth);
};

template <>
struct JsonCoding<Style> {
    static Style decode(const JsonValue& v);
    static Json encode(const Style& s);
};

} // namespace vorlix
