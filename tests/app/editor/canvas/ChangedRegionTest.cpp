#include "app/editor/canvas/ChangedRegion.h"

#include "app/editor/canvas/ClickCounter.h"
#include "core/document/DocumentAnnotations.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

DocumentModel document()
{
    DocumentModel model;
    Panel panel;
    panel.id = test::uuid(1);
    panel.imageID = test::uuid(2);
    panel.pixelSize = {400, 300};
    panel.pixelsPerPoint = 1;
    panel.annotations = {Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{10, 10}, {50, 30}}),
                         Annotation::make(test::uuid(11), AnnotationKind::spotlight, {{200, 200}, {250, 250}})};
    model.panels = {panel};
    model.annotations = {Annotation::make(test::uuid(12), AnnotationKind::ellipse, {{300, 10}, {320, 20}})};
    return model;
}

Rect boundsOf(const DocumentModel& model, int n) { return canvasShape(model, test::uuid(n))->bounds(); }

} // namespace

TEST(ChangedRegion, CoversTheOldAndNewPlacesOfWhatChangedOnly)
{
    const DocumentModel before = document();
    EXPECT_TRUE(changedCanvasRect(before, before)->isNull());

    DocumentModel moved = before;
    setCanvasPoints(moved, test::uuid(10), {{100, 110}, {140, 130}});
    EXPECT_EQ(changedCanvasRect(before, moved), boundsOf(before, 10).united(boundsOf(moved, 10)));

    DocumentModel added = before;
    insert(added, CanvasShape{AnnotationKind::arrow, {{5, 250}, {60, 280}}, {}, Style::defaults(AnnotationKind::arrow)},
           test::uuid(13));
    EXPECT_EQ(changedCanvasRect(before, added), boundsOf(added, 13));
    EXPECT_EQ(changedCanvasRect(added, before), boundsOf(added, 13));

    DocumentModel documentLevel = before;
    setCanvasPoints(documentLevel, test::uuid(12), {{0, 0}, {5, 5}});
    EXPECT_EQ(changedCanvasRect(before, documentLevel), boundsOf(before, 12).united(boundsOf(documentLevel, 12)));
}

TEST(ChangedRegion, ChangesThatReachBeyondTheirShapesRepaintEverything)
{
    const DocumentModel before = document();
    DocumentModel panelMoved = before;
    panelMoved.panels[0].origin = {5, 0};
    DocumentModel spotlight = before;
    setCanvasPoints(spotlight, test::uuid(11), {{210, 200}, {260, 250}});
    DocumentModel background = before;
    background.padding = 40;
    for (const DocumentModel* after : {&panelMoved, &spotlight, &background})
        EXPECT_FALSE(changedCanvasRect(before, *after));
}

TEST(ClickCounter, CountsPressesCloseInTimeAndPlace)
{
    ClickCounter clicks(400, 5);
    EXPECT_EQ(clicks.press({10, 10}, 1000), 1);
    EXPECT_EQ(clicks.press({12, 11}, 1300), 2);
    EXPECT_EQ(clicks.press({12, 11}, 1600), 3);
    EXPECT_EQ(clicks.press({12, 11}, 2100), 1); // too late
    EXPECT_EQ(clicks.press({30, 11}, 2200), 1); // too far
    EXPECT_EQ(clicks.press({30, 11}, 2100), 1); // a clock that went back starts again
}
