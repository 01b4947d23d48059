#include "core/formats/CaptureSize.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(CaptureSize, ValidityTitlesAndFit)
{
    struct Case {
        CaptureSize size;
        bool valid;
        const char16_t* title;
    };
    const Case cases[] = {
        {{1920, 1080, false}, true, u"1920 × 1080 px"},
        {{8, 8, false}, true, u"8 × 8 px"},
        {{7, 100, false}, false, u"7 × 100 px"},
        {{100000, 50000, false}, true, u"100000 × 50000 px"},
        {{16, 9, true}, true, u"16 : 9"},
        {{1000, 1, true}, true, u"1000 : 1"},
        {{1001, 1, true}, false, u"1001 : 1"},
        {{0, 5, true}, false, u"0 : 5"},
        {{-4, 3, true}, false, u"-4 : 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.title).toStdString());
        EXPECT_EQ(c.size.isValid(), c.valid);
        EXPECT_EQ(c.size.title(), QString::fromUtf16(c.title));
    }
    EXPECT_EQ(CaptureSize::defaults().front().title(), QStringLiteral("1920 × 1080 px"));
    EXPECT_EQ(CaptureSize::defaults().size(), 5u);

    EXPECT_TRUE((CaptureSize{16, 9, true}).fits(1, 1));
    EXPECT_TRUE((CaptureSize{1920, 1080, false}).fits(1920, 1080));
    EXPECT_FALSE((CaptureSize{1920, 1080, false}).fits(1919, 2000));
}

TEST(CaptureSize, FixedFrameIsPixelExactAndStaysOnTheScreen)
{
    const CaptureSize fullHD{1920, 1080, false};
    const Size retina{1440, 900};
    EXPECT_EQ(fullHD.frame({10, 10}, 2, retina), Rect(0, 0, 960, 540));
    EXPECT_EQ(fullHD.frame({1435, 895}, 2, retina), Rect(480, 360, 960, 540));
    EXPECT_EQ(fullHD.frame({720, 450}, 2, retina), Rect(240, 180, 960, 540));

    // An odd size at a fractional scale: the corners land on whole pixels.
    const std::optional<Rect> odd = CaptureSize{101, 51, false}.frame({100.3, 40.2}, 1.5, {800, 600});
    ASSERT_TRUE(odd);
    EXPECT_DOUBLE_EQ(odd->origin.x * 1.5, 100);
    EXPECT_DOUBLE_EQ(odd->origin.y * 1.5, 35);
    EXPECT_DOUBLE_EQ(odd->size.width * 1.5, 101);
    EXPECT_DOUBLE_EQ(odd->size.height * 1.5, 51);

    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(fullHD.frame({10, 10}, 1, {1280, 800}));
    EXPECT_FALSE((CaptureSize{16, 9, true}).frame({10, 10}, 2, retina));
    EXPECT_FALSE((CaptureSize{7, 100, false}).frame({10, 10}, 2, retina));
    EXPECT_FALSE(fullHD.frame({10, 10}, 0, retina));
    EXPECT_FALSE(fullHD.frame({10, 10}, -2, retina));
    EXPECT_FALSE(fullHD.frame({10, 10}, nan, retina));
    EXPECT_FALSE(fullHD.frame({10, 10}, inf, retina));
}

TEST(CaptureSize, RatioRectKeepsTheRatioInsideTheBounds)
{
    const CaptureSize wide{16, 9, true};
    const Rect bounds(0, 0, 1000, 1000);
    struct Case {
        Point end;
        Rect expected;
    };
    const Case cases[] = {
        {{260, 120}, Rect(100, 100, 160, 90)},            // the width leads
        {{110, 190}, Rect(100, 100, 160, 90)},            // the height leads
        {{-60, 80}, Rect(0, 100 - 56.25, 100, 56.25)},    // 100 of room to the left
        {{120, -300}, Rect(100, 0, 100 * 16.0 / 9, 100)}, // 100 of room upwards
        {{100, 100}, Rect(100, 100, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.end.x << ", " << c.end.y);
        const Rect r = wide.ratioRect({100, 100}, c.end, bounds);
        EXPECT_DOUBLE_EQ(r.origin.x, c.expected.origin.x);
        EXPECT_DOUBLE_EQ(r.origin.y, c.expected.origin.y);
        EXPECT_DOUBLE_EQ(r.size.width, c.expected.size.width);
        EXPECT_DOUBLE_EQ(r.size.height, c.expected.size.height);
    }
    // A start outside the bounds leaves no room: an empty rectangle at the start.
    EXPECT_EQ(wide.ratioRect({-10, 100}, {-50, 150}, bounds), Rect(-10, 100, 0, 0));
    EXPECT_EQ((CaptureSize{0, 9, true}).ratioRect({5, 6}, {50, 60}, bounds), Rect(5, 6, 0, 0));
}

TEST(CaptureSize, JsonNeedsAllThreeKeys)
{
    const CaptureSize size{16, 9, true};
    EXPECT_EQ(encodeJson(size), Json::parse(R"({"width": 16, "height": 9, "ratioOnly": true})"));
    EXPECT_EQ(decodeJson<CaptureSize>(JsonValue(encodeJson(size))), size);
    for (const char* text : {R"({"width": 16, "height": 9})", R"({"width": 16.5, "height": 9, "ratioOnly": true})",
                             R"({"width": "16", "height": 9, "ratioOnly": true})"}) {
        SCOPED_TRACE(text);
        const Json json = Json::parse(text);
        EXPECT_THROW(decodeJson<CaptureSize>(JsonValue(json)), DecodeError);
    }
}
