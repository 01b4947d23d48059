#include "core/model/Annotation.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
Annotation decodeAnnotation(const std::string& text)
{
    const Json j = Json::parse(text);
    return decodeJson<Annotation>(JsonValue(j));
}
const std::string idText = R"("id": "00000000-0000-4000-8000-000000000001")";
} // namespace

TEST(AnnotationKind, TableOfFacts)
{
    EXPECT_EQ(displayName(AnnotationKind::pencil), "tratto a mano");
    EXPECT_EQ(displayName(AnnotationKind::callout), "fumetto");
    EXPECT_TRUE(isPanelFilter(AnnotationKind::lens));
    EXPECT_FALSE(isRectangular(AnnotationKind::lens));
    EXPECT_TRUE(hasColor(AnnotationKind::lens));
    EXPECT_FALSE(hasColor(AnnotationKind::stamp));
    EXPECT_TRUE(isOutlinable(AnnotationKind::pencil));
    EXPECT_FALSE(isOutlinable(AnnotationKind::text));
    EXPECT_TRUE(isTextual(AnnotationKind::callout));
    EXPECT_FALSE(enumFromText<AnnotationKind>("Arrow").has_value());
    EXPECT_EQ(enumFromText<AnnotationKind>("lens"), AnnotationKind::lens);
}

TEST(Annotation, MissingStyleIsTheKindsDefaultAndEmptyStyleTheBase)
{
    const Annotation noStyle = decodeAnnotation("{" + idText + R"(, "kind": "highlighter", "points": [[0, 0]]})");
    EXPECT_EQ(noStyle.style, Style::defaults(AnnotationKind::highlighter));
    EXPECT_EQ(noStyle.text, "");
    EXPECT_FALSE(noStyle.cropClip.has_value());
    const Annotation emptyStyle =
        decodeAnnotation("{" + idText + R"(, "kind": "highlighter", "points": [], "style": {}})");
    EXPECT_EQ(emptyStyle.style, Style{});
}

TEST(Annotation, RequiredFieldsAndKnownKinds)
{
    for (const std::string& text :
         {std::string(R"({"kind": "arrow", "points": []})"), "{" + idText + R"(, "points": []})",
          "{" + idText + R"(, "kind": "arrow"})", "{" + idText + R"(, "kind": "Arrow", "points": []})",
          "{" + idText + R"(, "kind": "arrow", "points": [[0, null]]})"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(decodeAnnotation(text), DecodeError);
    }
}

TEST(Annotation, RoundTripsAndOmitsAnEmptyClip)
{
    const Annotation a = Annotation::make(test::uuid(9), AnnotationKind::text, {{1, 2}}, QStringLiteral("è"));
    const Json j = encodeJson(a);
    EXPECT_FALSE(j.contains("cropClip"));
    EXPECT_EQ(j["id"], "00000000-0000-4000-8000-000000000009");
    EXPECT_EQ(decodeJson<Annotation>(JsonValue(j)), a);
}

TEST(Annotation, MeasureText)
{
    Style measured = Style::defaults(AnnotationKind::line);
    measured.showsMeasure = true;
    const auto line = Annotation::make(test::uuid(1), AnnotationKind::line, {{0, 0}, {3, 4}}, {}, measured);
    EXPECT_EQ(line.measureText(2), "10 px");
    EXPECT_EQ(line.measureText(2.5), "13 px"); // 12.5 rounds away from zero
    auto arrow = line;
    arrow.kind = AnnotationKind::arrow;
    EXPECT_FALSE(arrow.measureText(1));
    auto onePoint = line;
    onePoint.points.resize(1);
    EXPECT_FALSE(onePoint.measureText(1));
    auto unmeasured = line;
    unmeasured.style.showsMeasure = false;
    EXPECT_FALSE(unmeasured.measureText(1));
    EXPECT_EQ(measureLabel(-0.4), "0 px");
    EXPECT_EQ(measureLabel(1e300), "9223372036854775807 px");
}
