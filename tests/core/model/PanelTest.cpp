#include "core/model/Panel.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
Panel decodePanel(const std::string& text)
{
    const Json j = Json::parse(text);
    return decodeJson<Panel>(JsonValue(j));
}
const std::string minimalPanel = R"({"id": "00000000-0000-4000-8000-000000000001",
    "imageID": "00000000-0000-4000-8000-000000000002", "pixelSize": [640, 480]})";
} // namespace

TEST(Panel, MinimalObjectTakesTheDefaults)
{
    Panel expected;
    expected.id = test::uuid(1);
    expected.imageID = test::uuid(2);
    expected.pixelSize = {640, 480};
    EXPECT_EQ(decodePanel(minimalPanel), expected);
}

TEST(Panel, EncodingOmitsEmptyOptionalsOnly)
{
    const Json j = encodeJson(decodePanel(minimalPanel));
    for (const char* key : {"crop", "stepNumber", "caption", "cursor"})
        EXPECT_FALSE(j.contains(key)) << key;
    EXPECT_EQ(j["removedStrips"], Json::array());
    EXPECT_EQ(j["annotations"], Json::array());
    EXPECT_EQ(j.size(), 10u);
}

TEST(Panel, RequiredKeysAndEnumerationTexts)
{
    struct Case {
        const char* name;
        void (*change)(Json&);
        DecodeErrorKind kind;
    };
    const Case cases[] = {
        {"no image id", [](Json& j) { j.erase("imageID"); }, DecodeErrorKind::keyNotFound},
        {"unknown axis",
         [](Json& j) { j["removedStrips"] = Json::parse(R"([{"axis": "diagonal", "lower": 1, "upper": 2}])"); },
         DecodeErrorKind::dataCorrupted},
        {"strip without upper", [](Json& j) { j["removedStrips"] = Json::parse(R"([{"axis": "rows", "lower": 1}])"); },
         DecodeErrorKind::keyNotFound},
        {"orientation without flip", [](Json& j) { j["orientation"] = Json::parse(R"({"quarterTurns": 1})"); },
         DecodeErrorKind::keyNotFound},
        {"cursor without image",
         [](Json& j) { j["cursor"] = Json::parse(R"({"position": [0, 0], "hotspot": [0, 0]})"); },
         DecodeErrorKind::keyNotFound},
        {"scale of the wrong type", [](Json& j) { j["scale"] = true; }, DecodeErrorKind::typeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Json j = Json::parse(minimalPanel);
        c.change(j);
        try {
            decodeJson<Panel>(JsonValue(j));
            ADD_FAILURE();
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.kind(), c.kind);
        }
    }
}

TEST(Panel, CursorDefaultsAndOrientationTurns)
{
    Json j = Json::parse(minimalPanel);
    j["cursor"] = Json::parse(R"({"position": [1, 2], "imageID": "00000000-0000-4000-8000-000000000003",
                                 "hotspot": [0, 0]})");
    const Panel p = decodeJson<Panel>(JsonValue(j));
    ASSERT_TRUE(p.cursor);
    EXPECT_TRUE(p.cursor->isVisible);
    EXPECT_FALSE(p.cursor->showsClick);
    EXPECT_EQ(PanelOrientation::make(-1, false).quarterTurns, 3);
    EXPECT_EQ(PanelOrientation::make(4, true).quarterTurns, 0);
}

TEST(Panel, StripOrderMatters)
{
    Panel a = decodePanel(minimalPanel);
    a.removedStrips = {{RemovedStrip::Axis::rows, 1, 2}, {RemovedStrip::Axis::columns, 3, 4}};
    Panel b = a;
    std::swap(b.removedStrips[0], b.removedStrips[1]);
    EXPECT_NE(a, b);
}
