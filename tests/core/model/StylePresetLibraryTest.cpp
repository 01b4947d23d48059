#include "core/model/StylePresetLibrary.h"

#include <gtest/gtest.h>

using namespace vorlix;
using K = AnnotationKind;

namespace {
Style widthStyle(double w)
{
    Style s;
    s.lineWidth = w;
    return s;
}
StylePresetLibrary threeArrows()
{
    StylePresetLibrary l;
    for (int i = 0; i < 3; ++i)
        l.save(widthStyle(i), QString::number(i), K::arrow);
    return l;
}
} // namespace

TEST(StylePresetLibrary, SaveTrimsOverwritesAndKeepsTheNewestNine)
{
    StylePresetLibrary l;
    l.save(widthStyle(1), QStringLiteral("  Rosso\n"), K::arrow);
    ASSERT_EQ(l.presets(K::arrow).size(), 1u);
    EXPECT_EQ(l.presets(K::arrow)[0].name, "Rosso");
    EXPECT_EQ(l.selectedIndex(K::arrow), 0u);
    l.save(widthStyle(1), QStringLiteral("   "), K::arrow);
    EXPECT_EQ(l.presets(K::arrow).size(), 1u);

    l = threeArrows();
    l.save(widthStyle(9), QStringLiteral("2"), K::arrow);
    EXPECT_EQ(l.presets(K::arrow).size(), 3u);
    EXPECT_EQ(l.presets(K::arrow)[2].style.lineWidth, 9);
    EXPECT_EQ(l.selectedIndex(K::arrow), 2u);

    StylePresetLibrary ten;
    for (int i = 0; i < 10; ++i)
        ten.save(widthStyle(i), QString::number(i), K::line);
    ASSERT_EQ(ten.presets(K::line).size(), 9u);
    EXPECT_EQ(ten.presets(K::line)[0].name, "1");
    EXPECT_EQ(ten.selectedIndex(K::line), 8u);
}

TEST(StylePresetLibrary, RenameRefusesClashesWithinAKind)
{
    StylePresetLibrary l = threeArrows();
    l.save(widthStyle(1), QStringLiteral("0"), K::line);
    EXPECT_FALSE(l.rename(0, QStringLiteral("1"), K::arrow));
    EXPECT_TRUE(l.rename(0, QStringLiteral("0"), K::arrow));
    EXPECT_TRUE(l.rename(1, QStringLiteral(" Nuovo "), K::arrow));
    EXPECT_EQ(l.presets(K::arrow)[1].name, "Nuovo");
    EXPECT_FALSE(l.rename(3, QStringLiteral("x"), K::arrow));
    EXPECT_FALSE(l.rename(0, QStringLiteral(""), K::arrow));
}

TEST(StylePresetLibrary, RemoveKeepsTheSelectionOnTheSamePreset)
{
    struct Case {
        int removed;
        std::optional<std::size_t> selected;
    };
    for (const Case& c : {Case{0, 0u}, Case{1, std::nullopt}, Case{2, 1u}}) {
        SCOPED_TRACE(c.removed);
        StylePresetLibrary l = threeArrows();
        l.select(1, K::arrow);
        l.remove(c.removed, K::arrow);
        EXPECT_EQ(l.selectedIndex(K::arrow), c.selected);
    }
    StylePresetLibrary one;
    one.save(widthStyle(1), QStringLiteral("a"), K::text);
    one.remove(0, K::text);
    EXPECT_FALSE(encodeJson(one)["byKind"].contains("text"));
}

TEST(StylePresetLibrary, JsonIsTolerantOfMissingMapsOnly)
{
    EXPECT_EQ(decodeJson<StylePresetLibrary>(JsonValue(Json::object())), StylePresetLibrary{});
    const Json staleSelection = Json::parse(R"({"selectedByKind": {"arrow": 5}})");
    const StylePresetLibrary stale = decodeJson<StylePresetLibrary>(JsonValue(staleSelection));
    EXPECT_FALSE(stale.selectedIndex(K::arrow));
    EXPECT_FALSE(stale.selectedPreset(K::arrow));
    const Json noName = Json::parse(R"({"byKind": {"arrow": [{"style": {}}]}})");
    EXPECT_THROW(decodeJson<StylePresetLibrary>(JsonValue(noName)), DecodeError);
    const StylePresetLibrary l = threeArrows();
    EXPECT_EQ(decodeJson<StylePresetLibrary>(JsonValue(encodeJson(l))), l);
}
