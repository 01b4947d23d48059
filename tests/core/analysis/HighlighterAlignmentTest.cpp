#include "core/analysis/HighlighterAlignment.h"

#include "core/document/DocumentAnnotations.h"
#include "support/TextDocumentFixture.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

TEST(HighlighterAlignment, SnapsToTheNearestLineAndThickensToIt)
{
    TextDocument t;
    const double y = t.lineCentres[1];
    const auto drawStroke = [&](Point a, Point b) {
        CanvasShape stroke{AnnotationKind::highlighter, {a, b}, {}, Style::defaults(AnnotationKind::highlighter)};
        return insert(t.doc, stroke, QUuid::createUuid()).id;
    };
    const QUuid id = drawStroke({40, y + 6}, {200, y + 3});
    alignHighlighterToText(t.doc, id, t.images);
    const CanvasShape snapped = *canvasShape(t.doc, id);
    ASSERT_EQ(snapped.points.size(), 2u);
    EXPECT_EQ(snapped.points[0].y, snapped.points[1].y);
    EXPECT_NEAR(snapped.points[0].y, y, 2);
    EXPECT_EQ(snapped.points[0].x, 40);
    EXPECT_GT(snapped.style.lineWidth, 10);
    EXPECT_LT(snapped.style.lineWidth, 25);

    // Steep strokes, strokes over empty paper and strokes that do not follow text stay.
    const QUuid steep = drawStroke({100, y}, {120, y + 10});
    const QUuid empty = drawStroke({40, 400}, {300, 400});
    const QUuid free = drawStroke({40, y + 5}, {200, y + 5});
    updateAnnotation(t.doc, free, [](Annotation& a) { a.style.followsText = false; });
    const DocumentModel before = t.doc;
    for (const QUuid& unchanged : {steep, empty, free})
        alignHighlighterToText(t.doc, unchanged, t.images);
    EXPECT_EQ(t.doc, before);
}

TEST(HighlighterAlignment, MapsLinesThroughTheRectangleTheRenderCovers)
{
    // The first line sits near the top of a tightly cropped canvas: the band is clipped
    // there, and lines must still land where they are.
    TextDocument t;
    t.doc.panels[0].origin = {0, 0};
    t.doc.panels[0].crop = Rect(0, 30, 800, 370);
    const double y = t.lineCentres[0] - 20 - 15;
    CanvasShape stroke{
        AnnotationKind::highlighter, {{20, y + 4}, {180, y + 4}}, {}, Style::defaults(AnnotationKind::highlighter)};
    const QUuid id = insert(t.doc, stroke, QUuid::createUuid()).id;
    alignHighlighterToText(t.doc, id, t.images);
    EXPECT_NEAR(canvasShape(t.doc, id)->points[0].y, y, 2);
}
