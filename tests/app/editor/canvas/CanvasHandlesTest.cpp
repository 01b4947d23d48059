#include "app/editor/canvas/CanvasHandles.h"

#include "core/shapes/ShapeGeometry.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

DocumentModel documentWith(std::vector<Annotation> annotations)
{
    DocumentModel model;
    Panel panel;
    panel.id = test::uuid(1);
    panel.imageID = test::uuid(2);
    panel.pixelSize = {400, 300};
    panel.pixelsPerPoint = 1;
    model.panels = {panel};
    model.annotations = std::move(annotations);
    return model;
}

} // namespace

TEST(CanvasHandles, HandlesCatchWithinSevenAndAHalfScreenPoints)
{
    const QUuid box = test::uuid(10);
    const QUuid lens = test::uuid(11);
    const Rect source(200, 200, 40, 40);
    const Rect magnified(300, 100, 80, 80);
    const DocumentModel model =
        documentWith({Annotation::make(box, AnnotationKind::rectangle, {{10, 10}, {110, 60}}),
                      Annotation::make(lens, AnnotationKind::lens, LensGeometry::points(source, magnified))});
    struct Case {
        const char* what;
        std::set<QUuid> selection;
        Point at;
        double magnification;
        std::optional<Handle> expected;
    };
    const Case cases[] = {
        {"on the corner", {box}, {10, 10}, 1, Handle::plain(HandleKind::topLeft)},
        {"7.5 points off at 1", {box}, {2.5, 10}, 1, Handle::plain(HandleKind::topLeft)},
        {"3.75 points is the reach at 2", {box}, {13.75, 10}, 2, Handle::plain(HandleKind::topLeft)},
        {"beyond it at 2", {box}, {14, 10}, 2, std::nullopt},
        {"the bottom edge's middle", {box}, {60, 62}, 1, Handle::plain(HandleKind::bottom)},
        {"two selected have no handles", {box, lens}, {10, 10}, 1, std::nullopt},
        {"nothing selected", {}, {10, 10}, 1, std::nullopt},
        {"inside the magnified view", {lens}, {340, 140}, 1, Handle::plain(HandleKind::moveMagnified)},
        {"outside its circle, in its square's corner", {lens}, {308, 108}, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<HandleHit> hit = handle(model, c.selection, c.at, c.magnification);
        ASSERT_EQ(hit.has_value(), c.expected.has_value());
        if (hit) {
            EXPECT_EQ(hit->handle, *c.expected);
            EXPECT_EQ(hit->id, *c.selection.begin());
        }
    }
}

TEST(CanvasHandles, PanelCornersOfTheSelectedPanelGiveTheOppositeAnchor)
{
    const DocumentModel model = documentWith({}); // the panel spans (0, 0, 400, 300)
    const QUuid id = test::uuid(1);
    struct Case {
        std::optional<QUuid> selected;
        Point at;
        double magnification;
        std::optional<Point> anchor;
    };
    const Case cases[] = {
        {id, {2, 3}, 1, Point{400, 300}},        {id, {406, 306}, 1, Point{0, 0}}, // 8.49 points away
        {id, {406, 306}, 2, std::nullopt},                                         // 4.25 is the reach at 2
        {id, {395, -4}, 1, Point{0, 300}},       {id, {3, 297}, 1, Point{400, 0}},
        {std::nullopt, {2, 3}, 1, std::nullopt}, {test::uuid(99), {2, 3}, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x << ", " << c.at.y << " at " << c.magnification);
        const std::optional<PanelCornerHit> hit = panelCorner(model, c.selected, c.at, c.magnification);
        ASSERT_EQ(hit.has_value(), c.anchor.has_value());
        if (hit) {
            EXPECT_EQ(hit->anchor, *c.anchor);
            EXPECT_EQ(hit->panel, model.panels[0]);
        }
    }
}

TEST(CanvasHandles, CursorsAndObjectNames)
{
    EXPECT_EQ(cursor(Handle::endpoint(1), false).shape(), Qt::CrossCursor);
    EXPECT_EQ(cursor(Handle::magnified(HandleKind::top), false).shape(), Qt::SizeVerCursor);
    EXPECT_EQ(cursor(Handle::plain(HandleKind::topRight), false).shape(), Qt::SizeBDiagCursor);
    EXPECT_EQ(cursor(Handle::plain(HandleKind::moveMagnified), false).shape(), Qt::OpenHandCursor);
    EXPECT_EQ(cursor(Handle::plain(HandleKind::moveMagnified), true).shape(), Qt::ClosedHandCursor);

    const DocumentModel model =
        documentWith({Annotation::make(test::uuid(10), AnnotationKind::arrow, {{0, 0}, {9, 9}}),
                      Annotation::make(test::uuid(11), AnnotationKind::pencil, {{0, 0}, {9, 9}})});
    EXPECT_EQ(objectName(model, {test::uuid(10)}), u"freccia"_s);
    EXPECT_EQ(objectName(model, std::set<QUuid>{test::uuid(10), test::uuid(11)}), u"oggetti"_s);
    EXPECT_EQ(objectName(model, {test::uuid(99)}), u"oggetti"_s);
}
