#include "core/model/Json.h"

#include "core/model/DocumentModel.h"
#include "core/model/StylePresetLibrary.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

#include <limits>

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
    EXPECT_THROW(v.key("big").toInt(), DecodeError);
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

// The parser hands an integer token as unsigned, signed or (beyond 64 bits) as a double;
// each read takes exactly its type's range whatever the token's form.
TEST(JsonValue, IntegersReadInTheirTypesWholeRange)
{
    using I64 = std::optional<std::int64_t>;
    using U32 = std::optional<std::uint32_t>;
    using I32 = std::optional<int>;
    struct Case {
        const char* token;
        I64 asInt64;
        U32 asUInt32;
        I32 asInt;
    };
    const Case cases[] = {
        {"0", 0, 0u, 0},
        {"-0", 0, 0u, 0},
        {"3.0", 3, 3u, 3},
        {"1e3", 1000, 1000u, 1000},
        {"3.5", {}, {}, {}},
        {"-1", -1, {}, -1},
        {"2147483647", 2147483647, 2147483647u, 2147483647},
        {"2147483648", 2147483648, 2147483648u, {}},
        {"-2147483648", -2147483648LL, {}, std::numeric_limits<int>::min()},
        {"-2147483649", -2147483649LL, {}, {}},
        {"4294967295", 4294967295LL, 4294967295u, {}},
        {"4294967296", 4294967296LL, {}, {}},
        {"4294967295.0", 4294967295LL, 4294967295u, {}},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max(), {}, {}},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min(), {}, {}},
        {"9223372036854775808", {}, {}, {}},
        {"18446744073709551615", {}, {}, {}},
        // Beyond 64 bits the token is a double, rounded first: this one is the next double below
        // the smallest Int64 (one closer would round onto it).
        {"-9223372036854777856", {}, {}, {}},
        {"9.3e18", {}, {}, {}},
        {"-9.223372036854775808e18", std::numeric_limits<std::int64_t>::min(), {}, {}},
        {"1e400", {}, {}, {}},
    };
    const auto read = [](const Json& j, auto member) -> decltype(std::optional((JsonValue(j).*member)())) {
        try {
            return (JsonValue(j).*member)();
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.kind(), DecodeErrorKind::dataCorrupted);
            return std::nullopt;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        Json j;
        try {
            j = Json::parse(c.token);
        } catch (const Json::exception&) {
            // Too large for a double: the parser refuses it before any read.
            EXPECT_FALSE(c.asInt64 || c.asUInt32 || c.asInt);
            continue;
        }
        EXPECT_EQ(read(j, &JsonValue::toInt64), c.asInt64);
        EXPECT_EQ(read(j, &JsonValue::toUInt32), c.asUInt32);
        EXPECT_EQ(read(j, &JsonValue::toInt), c.asInt);
    }
    // Doubles keep their magnitude guard.
    EXPECT_THROW(JsonValue(Json::parse("2e7")).toDouble(), DecodeError);
}

// What the model writes it reads back, at the ends of every integer field's type.
TEST(JsonValue, ModelIntegerFieldsRoundTripAtTheirTypesExtremes)
{
    const auto roundTrip = [](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        const Json parsed = Json::parse(encodeJson(value).dump());
        return decodeJson<T>(JsonValue(parsed));
    };
    for (const std::int64_t n : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        SCOPED_TRACE(n);
        DocumentModel d = test::offDefaultDocument();
        d.formatVersion = n;
        d.numberingStart = n;
        d.panels.front().stepNumber = n;
        EXPECT_EQ(roundTrip(d), d);

        StylePresetLibrary library;
        library.selectedByKind["arrow"] = n;
        EXPECT_EQ(roundTrip(library), library);
    }
}
