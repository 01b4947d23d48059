#include "core/formats/AppVersion.h"

#include <gtest/gtest.h>

#include <unordered_set>

using namespace vorlix;

TEST(AppVersion, ParsesOnlyDottedNonNegativeNumbers)
{
    struct Case {
        const char16_t* text;
        std::optional<std::vector<std::int64_t>> components;
    };
    const Case cases[] = {
        {u" 1.4.2 ", std::vector<std::int64_t>{1, 4, 2}},
        {u"\t2.0\u00A0", std::vector<std::int64_t>{2, 0}},
        {u"1", std::vector<std::int64_t>{1}},
        {u"+1.2", std::vector<std::int64_t>{1, 2}},
        {u"1.4a", std::nullopt},
        {u"1..4", std::nullopt},
        {u".1", std::nullopt},
        {u"1.", std::nullopt},
        {u"v1.4", std::nullopt},
        {u"1.-4", std::nullopt},
        {u"-0", std::nullopt},
        {u"1. 4", std::nullopt},
        {u"\uFF11.2", std::nullopt}, // a full-width digit is no decimal digit here
        {u"99999999999999999999", std::nullopt},
        {u"", std::nullopt},
        {u"  ", std::nullopt},
        {u"1.4\n", std::nullopt},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        const std::optional<AppVersion> v = AppVersion::parse(text, 5);
        ASSERT_EQ(v.has_value(), c.components.has_value());
        if (v) {
            EXPECT_EQ(v->components, *c.components);
            EXPECT_EQ(v->build, 5);
        }
    }
}

TEST(AppVersion, OrdersByPaddedComponentsThenBuild)
{
    const AppVersion v14{{1, 4}}, v140{{1, 4, 0}}, v141{{1, 4, 1}}, v15{{1, 5}}, v2{{2}};
    EXPECT_LT(v14, v141);
    EXPECT_LT(v141, v15);
    EXPECT_LT(v15, v2);
    EXPECT_LT(AppVersion({1, 10}), AppVersion({2, 0}));
    EXPECT_GT(AppVersion({1, 10}), AppVersion({1, 9, 9}));
    EXPECT_LT(AppVersion({1, 4}, 7), AppVersion({1, 4}, 8));
    EXPECT_GT(AppVersion({1, 4, 1}, 0), AppVersion({1, 4}, 99));

    EXPECT_EQ(v14, v140);
    EXPECT_FALSE(v14 < v140 || v140 < v14);
    EXPECT_NE(AppVersion({1, 4}, 1), v140);
    EXPECT_EQ(std::hash<AppVersion>{}(v14), std::hash<AppVersion>{}(v140));
    EXPECT_EQ(std::hash<AppVersion>{}(AppVersion({0})), std::hash<AppVersion>{}(AppVersion({0, 0, 0})));
    EXPECT_EQ((std::unordered_set<AppVersion>{v14, v140, v141}).size(), 2u);
}

TEST(AppVersion, EmptyComponentsBecomeZeroAndDescriptionOmitsBuild)
{
    EXPECT_EQ(AppVersion({}, 3).components, std::vector<std::int64_t>{0});
    EXPECT_EQ(AppVersion({1, 4, 0}, 12).description(), QStringLiteral("1.4.0"));
}
