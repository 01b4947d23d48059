#include "core/model/Style.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
Style decodeStyle(const char* text)
{
    const Json j = Json::parse(text);
    return decodeJson<Style>(JsonValue(j));
}
} // namespace

TEST(Style, DecodingIsTolerantOfMissingKeysAndNulls)
{
    EXPECT_EQ(decodeStyle("{}"), Style::defaults(AnnotationKind::line));
    const Style widthOnly = decodeStyle(R"({"lineWidth": 6, "fontBold": null, "unknown": 1})");
    Style expected;
    expected.lineWidth = 6;
    EXPECT_EQ(widthOnly, expected);
    EXPECT_TRUE(widthOnly.followsText);
    EXPECT_EQ(widthOnly.fontSize, 22);
}

TEST(Style, DecodingFailsOnBadValues)
{
    for (const char* text :
         {R"({"fill": "dotted"})", R"({"dashed": 1})", R"({"strokeColor": "red"})", R"({"lineWidth": "4"})"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(decodeStyle(text), DecodeError);
    }
}

TEST(Style, RoundTripsAndLeavesOutEmptyOptionals)
{
    const Style s = test::offDefaultStyle();
    EXPECT_EQ(decodeJson<Style>(JsonValue(encodeJson(s))), s);
    const Json plain = encodeJson(Style{});
    EXPECT_EQ(plain.size(), 28u);
    EXPECT_FALSE(plain.contains("fillColor"));
    EXPECT_FALSE(plain.contains("arrowHeadColor"));
    EXPECT_FALSE(plain.contains("fontName"));
    EXPECT_EQ(encodeJson(s).size(), 31u);
}

TEST(Style, DerivedValues)
{
    Style s;
    for (auto [width, outline] : {std::pair{2.0, 1.5}, {9.0, 2.7}, {18.0, 4.0}}) {
        s.lineWidth = width;
        EXPECT_DOUBLE_EQ(s.shapeOutlineWidth(), outline);
    }
    EXPECT_EQ(Style::dashPattern(0.5), (std::array<double, 2>{3, 2.2}));
    EXPECT_EQ(Style::dashPattern(4), (std::array<double, 2>{12, 4 * 2.2}));
    s.strokeColor = RGBAColor::hex("#FFF200");
    EXPECT_EQ(s.textOutlineColor(), RGBAColor::hex("#1C1C1E"));
    EXPECT_EQ(s.textBoxFillColor(), RGBAColor::hex("#1C1C1E"));
    s.strokeColor = RGBAColor::hex("#FF3838");
    EXPECT_EQ(s.textOutlineColor(), RGBAColor::white());
    s.strokeColor = RGBAColor::white();
    EXPECT_EQ(s.shapeOutlineColor(), RGBAColor::black());
    s.strokeColor = RGBAColor::hex("#1A1D20");
    EXPECT_EQ(s.shapeOutlineColor(), RGBAColor::white());
    EXPECT_FALSE(s.hasTextBox());
    s.fill = FillMode::translucent;
    EXPECT_TRUE(s.hasTextBox());
}

TEST(NumberFormat, LabelsFollowTheFormatRules)
{
    struct Case {
        NumberFormat format;
        long long n;
        const char* expected;
    };
    const Case cases[] = {
        {NumberFormat::upperLetters, 1, "A"},     {NumberFormat::upperLetters, 26, "Z"},
        {NumberFormat::upperLetters, 27, "AA"},   {NumberFormat::upperLetters, 52, "AZ"},
        {NumberFormat::upperLetters, 53, "BA"},   {NumberFormat::upperLetters, 702, "ZZ"},
        {NumberFormat::upperLetters, 703, "AAA"}, {NumberFormat::upperLetters, 0, "0"},
        {NumberFormat::lowerLetters, 28, "ab"},   {NumberFormat::lowerLetters, -3, "-3"},
        {NumberFormat::roman, 1994, "MCMXCIV"},   {NumberFormat::roman, 3999, "MMMCMXCIX"},
        {NumberFormat::roman, 4000, "4000"},      {NumberFormat::roman, 0, "0"},
        {NumberFormat::arabic, 7, "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n);
        EXPECT_EQ(label(c.format, c.n), c.expected);
    }
}

TEST(Style, DefaultsDifferFromTheBaseOnlyWhereTheKindSays)
{
    const Style base;
    EXPECT_EQ(Style::defaults(AnnotationKind::rectangle), base);
    EXPECT_EQ(Style::defaults(AnnotationKind::pencil), base);
    const Style callout = Style::defaults(AnnotationKind::callout);
    Style expected = base;
    expected.fillColor = RGBAColor::white();
    expected.fill = FillMode::solid;
    expected.lineWidth = 2;
    expected.fontSize = 17;
    expected.fontBold = false;
    expected.textBoxBorder = true;
    EXPECT_EQ(callout, expected);
    const Style highlighter = Style::defaults(AnnotationKind::highlighter);
    expected = base;
    expected.strokeColor = RGBAColor::hex("#FFF200");
    expected.lineWidth = 18;
    expected.opacity = 0.7;
    EXPECT_EQ(highlighter, expected);
    EXPECT_EQ(Style::defaults(AnnotationKind::spotlight).filterIntensity, 0.55);
    EXPECT_TRUE(Style::defaults(AnnotationKind::cursor).clickMark);
    EXPECT_EQ(title(CursorShape::resizeVertical), "Ridimensiona in verticale");
    EXPECT_EQ(title(NumberShape::drop), "Goccia");
}
