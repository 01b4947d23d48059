#include "core/document/AnnotationClipboard.h"

#include "core/document/DocumentAnnotations.h"
#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;
using test::uuid;

namespace {
QByteArray clipboardJson(const std::string& items, int version = 1)
{
    return QByteArray::fromStdString(R"({"formatVersion": )" + std::to_string(version) + R"(, "items": )" + items +
                                     "}");
}
const std::string oneItem = R"([{"kind": "rectangle", "points": [[0, 0], [10, 10]], "text": "", "style": {}}])";
} // namespace

TEST(AnnotationClipboard, DecodesStrictlyAndRefusesLaterVersions)
{
    EXPECT_TRUE(AnnotationClipboard::decode(clipboardJson(oneItem, 1)));
    EXPECT_TRUE(AnnotationClipboard::decode(clipboardJson(oneItem, 0)));
    EXPECT_FALSE(AnnotationClipboard::decode(clipboardJson(oneItem, 2)));
    for (const char* bad : {R"([{"kind": "rectangle", "points": [], "style": {}}])",
                            R"([{"kind": "rectangle", "points": [], "text": ""}])",
                            R"([{"kind": "square", "points": [], "text": "", "style": {}}])",
                            R"([{"kind": "line", "points": [[0, 1e300]], "text": "", "style": {}}])",
                            R"([{"kind": "text", "points": [[0, 0]], "text": "a", "style": {"fontSize": 1e6}}])"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(AnnotationClipboard::decode(clipboardJson(bad)));
    }
    EXPECT_FALSE(AnnotationClipboard::decode("not json"));
}

TEST(AnnotationClipboard, RefusesMoreThanItTakes)
{
    std::string many = "[";
    for (std::size_t i = 0; i <= AnnotationClipboard::maximumItems; ++i)
        many += std::string(i ? "," : "") + R"({"kind": "line", "points": [], "text": "", "style": {}})";
    many += "]";
    EXPECT_FALSE(AnnotationClipboard::decode(clipboardJson(many)));
}

TEST(AnnotationClipboard, CopiesInDrawOrderAndPastesWithNewIds)
{
    DocumentModel d;
    d.annotations = {Annotation::make(uuid(1), AnnotationKind::arrow, {{0, 0}, {10, 10}}),
                     Annotation::make(uuid(2), AnnotationKind::rectangle, {{5, 5}, {20, 20}})};
    const AnnotationClipboard clip = AnnotationClipboard::copy(d, {uuid(2), uuid(1), uuid(99)});
    ASSERT_EQ(clip.items.size(), 2u);
    EXPECT_EQ(clip.items[0].kind, AnnotationKind::arrow);
    EXPECT_EQ(AnnotationClipboard::decode(clip.encoded()), clip);

    const auto first = clip.paste(d, {12, 12});
    const auto second = clip.paste(d, {24, 24});
    EXPECT_EQ(d.annotations.size(), 6u);
    EXPECT_NE(first, second);
    EXPECT_EQ(annotation(d, first[1])->points[0], (Point{17, 17}));

    const DocumentModel alone = clip.standaloneDocument();
    ASSERT_EQ(alone.annotations.size(), 2u);
    EXPECT_NE(alone.annotations[0].id, uuid(1));
    EXPECT_TRUE(alone.panels.empty());
    EXPECT_TRUE(AnnotationClipboard{}.bounds().isNull());
}
