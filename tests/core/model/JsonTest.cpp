#include "core/model/Json.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

template <class F>
DecodeError decodeFailure(const char* text, F&& decode)
{
    const Json json = Json::parse(text);
    try {
        decode(JsonValue(json));
    } catch (const DecodeError& e) {
        return e;
    }
    ADD_FAILURE() << "decoding " << text << " did not fail";
    return DecodeError(DecodeErrorKind::dataCorrupted, "", "");
}

} // namespace

TEST(JsonValue, ErrorsCarryKindAndCodingPath)
{
    struct Case {
        const char* json;
        DecodeErrorKind kind;
        const char* path;
    };
    const auto readDeep = [](const JsonValue& v) { return v.key("a").element(1).key("b").toDouble(); };
    const Case cases[] = {
        {R"({"a": [0, {"c": 1}]})", DecodeErrorKind::keyNotFound, "a[1]"},
        {R"({"a": [0, {"b": null}]})", DecodeErrorKind::valueNotFound, "a[1].b"},
        {R"({"a": [0, {"b": "1"}]})", DecodeErrorKind::typeMismatch, "a[1].b"},
        {R"({"a": [0, {"b": 1e300}]})", DecodeErrorKind::dataCorrupted, "a[1].b"},
        {R"({"a": [0, {"b": -2e7}]})", DecodeErrorKind::dataCorrupted, "a[1].b"},
        {R"({"a": {"b": 1}})", DecodeErrorKind::typeMismatch, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        const DecodeError e = decodeFailure(c.json, readDeep);
        EXPECT_EQ(e.kind(), c.kind);
        EXPECT_EQ(e.codingPath(), c.path);
    }
}

TEST(JsonValue, PrimitiveReadsAreStrict)
{
    const Json j = Json::parse(R"({"i": 3, "f": 3.0, "half": 3.5, "big": 5000000000, "t": true, "n": 1,
                                  "s": "x", "u": "0a1b2c3d-0000-4000-8000-00000000abcd",
                                  "braced": "{0a1b2c3d-0000-4000-8000-00000000abcd}"})");
    const JsonValue v(j);
    EXPECT_EQ(v.key("i").toInt64(), 3);
    EXPECT_EQ(v.key("f").toInt64(), 3);
    EXPECT_THROW(v.key("half").toInt64(), DecodeError);
    EXPECT_THROW(v.key("big").toInt64(), DecodeError);
    EXPECT_TRUE(v.key("t").toBool());
    EXPECT_THROW(v.key("n").toBool(), DecodeError);
    EXPECT_THROW(v.key("s").toDouble(), DecodeError);
    EXPECT_EQ(uuidText(v.key("u").toUuid()), "0A1B2C3D-0000-4000-8000-00000000ABCD");
    EXPECT_THROW(v.key("braced").toUuid(), DecodeError);
    EXPECT_FALSE(v.optionalKey("missing").has_value());
}

TEST(JsonValue, GeometryFormsAndOverflowingText)
{
    const Json j = Json::parse(R"({"p": [1, 2, 99], "r": [[1, 2], [3, 4]], "short": [1]})");
    const JsonValue v(j);
    EXPECT_EQ(v.key("p").toPoint(), (Point{1, 2}));
    EXPECT_EQ(v.key("r").toRect(), Rect(1, 2, 3, 4));
    EXPECT_THROW(v.key("short").toPoint(), DecodeError);
    EXPECT_EQ(encodeRect(Rect(1, 2, 3, 4)).dump(), "[[1.0,2.0],[3.0,4.0]]");
    // A number too large for a double is refused at parsing.
    EXPECT_THROW(parseJson(R"({"x": 1e400})"), DecodeError);
    EXPECT_THROW(parseJson("{"), DecodeError);
}
