#include "core/model/DocumentModel.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
DecodeError failureOf(std::string_view text)
{
    try {
        decodeDocument(text);
    } catch (const DecodeError& e) {
        return e;
    }
    ADD_FAILURE() << text << " decoded";
    return DecodeError(DecodeErrorKind::dataCorrupted, "", "");
}
} // namespace

TEST(DocumentModel, VersionAloneDecodesToAnEmptyDocument)
{
    EXPECT_EQ(decodeDocument(R"({"formatVersion": 3})"), DocumentModel{});
    EXPECT_EQ(decodeDocument(R"({"formatVersion": 2, "padding": null})").formatVersion, 2);
    EXPECT_EQ(failureOf(R"({"panels": []})").kind(), DecodeErrorKind::keyNotFound);
    EXPECT_EQ(failureOf(R"({"formatVersion": 3, "padding": "40"})").kind(), DecodeErrorKind::typeMismatch);
}

TEST(DocumentModel, NewDocumentWritesAllElevenKeys)
{
    const Json j = encodeJson(DocumentModel{});
    EXPECT_EQ(j.size(), 11u);
    EXPECT_EQ(j["background"], Json::parse(R"({"transparent": {}})"));
    EXPECT_EQ(j["layout"], Json::parse(R"({"mode": "vertical", "spacing": 24.0})"));
    EXPECT_EQ(j["cutMark"], "lightning");
    EXPECT_EQ(decodeJson<DocumentModel>(JsonValue(j)), DocumentModel{});
}

TEST(DocumentModel, EveryFieldOffItsDefaultRoundTrips)
{
    const DocumentModel d = test::offDefaultDocument();
    const std::string text = encodeJson(d).dump(2);
    EXPECT_EQ(decodeDocument(text), d);
    EXPECT_NE(d, DocumentModel{});
}

TEST(DocumentModel, BackgroundNeedsExactlyOneCase)
{
    for (const char* background : {R"({})", R"({"transparent": {}, "color": {"_0": "#000000"}})"}) {
        SCOPED_TRACE(background);
        const DecodeError e = failureOf(std::string(R"({"formatVersion": 3, "background": )") + background + "}");
        EXPECT_EQ(e.kind(), DecodeErrorKind::typeMismatch);
        EXPECT_EQ(e.description(), "Invalid number of keys found, expected one.");
        EXPECT_EQ(e.codingPath(), "background");
    }
    const DocumentModel d =
        decodeDocument(R"({"formatVersion": 3, "background": {"color": {"_0": "#102030"}, "other": 1}})");
    EXPECT_EQ(d.background, CanvasBackground(ColorBackground{RGBAColor::hex("#102030")}));
}

TEST(DocumentModel, LayoutIsStrict)
{
    EXPECT_EQ(failureOf(R"({"formatVersion": 3, "layout": {"mode": "grid"}})").kind(), DecodeErrorKind::keyNotFound);
    EXPECT_EQ(failureOf(R"({"formatVersion": 3, "layout": {"mode": "spiral", "spacing": 3}})").kind(),
              DecodeErrorKind::dataCorrupted);
}

TEST(DocumentModel, AbsurdNumbersAreRefusedWithTheirPath)
{
    struct Case {
        const char* json;
        const char* path;
    };
    const Case cases[] = {
        {R"({"formatVersion": 3, "padding": 1e300})", "padding"},
        {R"({"formatVersion": 3, "annotations": [{"id": "00000000-0000-4000-8000-000000000001",
            "kind": "line", "points": [[0, 0], [1e300, 5]]}]})",
         "annotations[0].points[1][0]"},
        {R"({"formatVersion": 3, "annotations": [{"id": "00000000-0000-4000-8000-000000000001",
            "kind": "line", "points": [[0, null]]}]})",
         "annotations[0].points[0][1]"},
        {R"({"formatVersion": 3, "numberingStart": 1e19})", "numberingStart"},
        {R"({"formatVersion": 3, "numberingStart": 2.5})", "numberingStart"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(failureOf(c.json).codingPath(), c.path);
    }
    EXPECT_THROW(decodeDocument(R"({"formatVersion": 3, "padding": 1e400})"), DecodeError);
}

TEST(DocumentModel, PanelOrderMatters)
{
    DocumentModel d = test::offDefaultDocument();
    d.panels.push_back(d.panels.front());
    d.panels.back().id = test::uuid(77);
    DocumentModel swapped = d;
    std::swap(swapped.panels[0], swapped.panels[1]);
    EXPECT_NE(d, swapped);
}
