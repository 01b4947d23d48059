#include "core/model/Color.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(RGBAColor, ParsesTheHexFormsAndRefusesTheRest)
{
    const RGBAColor red{1, 56 / 255.0, 56 / 255.0, 1};
    for (const char16_t* text : {u"#FF3838", u"FF3838", u"#ff3838", u" \t#FF3838\u00A0 "}) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        ASSERT_EQ(RGBAColor::fromHex(QString::fromUtf16(text)), red);
    }
    for (const char16_t* text : {u"#FF3838\n", u"##FF3838", u"#F38", u"#FF3838F", u"#FF38G8", u"0xFF3838"}) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        EXPECT_FALSE(RGBAColor::fromHex(QString::fromUtf16(text)).has_value());
    }
    EXPECT_EQ(RGBAColor::fromHex(u"#11223380")->alpha, 128 / 255.0);
}

TEST(RGBAColor, HexStringClampsRoundsAndWritesAlphaOnlyWhenNotFull)
{
    EXPECT_EQ(RGBAColor::hex("#ff3838").hexString(), "#FF3838");
    EXPECT_EQ(RGBAColor::hex("#112233FF").hexString(), "#112233");
    EXPECT_EQ(RGBAColor::hex("#11223380").hexString(), "#11223380");
    EXPECT_EQ((RGBAColor{1.2, -0.1, 0, 0.5}).hexString(), "#FF000080");
}

TEST(RGBAColor, LuminanceContrastAndVivid)
{
    EXPECT_DOUBLE_EQ(RGBAColor::white().relativeLuminance(), 1);
    EXPECT_DOUBLE_EQ(RGBAColor::black().relativeLuminance(), 0);
    EXPECT_DOUBLE_EQ(RGBAColor::black().contrastRatio(RGBAColor::white()), 21);
    EXPECT_DOUBLE_EQ(Palette::red().contrastRatio(Palette::red()), 1);
    const RGBAColor pale{1, 0.5, 0.5, 0.3};
    EXPECT_EQ(pale.vivid(0.75), (RGBAColor{1, 0.25, 0.25, 0.3}));
    for (const RGBAColor& unchanged : {RGBAColor{0.5, 0.5, 0.5, 1}, RGBAColor::black(), RGBAColor{1, 0, 0, 1}})
        EXPECT_EQ(unchanged.vivid(0.75), unchanged);
}

TEST(RGBAColor, CssTextForms)
{
    EXPECT_EQ((RGBAColor{1.2, -0.1, 0.5, 1}).rgbString(), "rgb(255, 0, 128)");
    EXPECT_EQ((RGBAColor{1, 0, 0, 1}).oklchString(), "oklch(0.628 0.258 29.2)");
    EXPECT_EQ((RGBAColor{0, 0, 1, 1}).oklchString(), "oklch(0.452 0.313 264.1)");
    EXPECT_EQ(RGBAColor::white().oklchString(), "oklch(1.000 0.000 0.0)");
}

TEST(RGBAColor, JsonIsTheHexStringAndBadTextNamesIt)
{
    EXPECT_EQ(encodeJson(RGBAColor::hex("#1E90FF")), "#1E90FF");
    const Json bad = " #XYZ";
    try {
        decodeJson<RGBAColor>(JsonValue(bad));
        FAIL();
    } catch (const DecodeError& e) {
        EXPECT_EQ(e.kind(), DecodeErrorKind::dataCorrupted);
        EXPECT_EQ(e.description(), "Colore non valido:  #XYZ");
    }
}

TEST(RGBAColorHash, NegativeZeroHashesAsZero)
{
    EXPECT_EQ(RGBAColorHash{}(RGBAColor{-0.0, 0, 0, 1}), RGBAColorHash{}(RGBAColor{0, 0, 0, 1}));
}

TEST(Palette, MigratesEarlierStandards)
{
    const auto& previous = Palette::previousStandards();
    EXPECT_EQ((Palette{previous[3].colors}).migratedToCurrentStandard(), Palette::standard());

    Palette custom{previous[3].colors};
    const RGBAColor own = RGBAColor::hex("#123456");
    custom[1] = own;
    const Palette migrated = custom.migratedToCurrentStandard();
    EXPECT_EQ(migrated[3], RGBAColor::hex("#FF3838")); // "#FF6B8B" moves to slot 0's colour
    EXPECT_EQ(migrated[2], RGBAColor::white());
    EXPECT_EQ(migrated[1], own);
    // Held by entries 2 and 3: the first decides (slot 7, near-black).
    EXPECT_EQ(Palette::migratedColor(RGBAColor::hex("#3C3C43")), Palette::black());
    EXPECT_EQ(Palette::migratedColor(own), own);
}

TEST(Palette, DecodesAnyCount)
{
    const Json nine = Json::parse(R"({"colors": ["#000000","#000000","#000000","#000000","#000000",
                                                 "#000000","#000000","#000000","#000000"]})");
    EXPECT_EQ(decodeJson<Palette>(JsonValue(nine)).colors.size(), 9u);
    const Palette p = Palette::standard();
    EXPECT_EQ(decodeJson<Palette>(JsonValue(encodeJson(p))), p);
}
