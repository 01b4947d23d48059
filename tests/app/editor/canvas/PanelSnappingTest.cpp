#include "app/editor/canvas/PanelSnapping.h"

#include "core/model/PanelGeometry.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

Panel panel(int n, Rect frame)
{
    Panel p;
    p.id = test::uuid(n);
    p.imageID = test::uuid(100 + n);
    p.pixelSize = frame.size;
    p.pixelsPerPoint = 1;
    p.origin = frame.origin;
    return p;
}

Guide vertical(double x) { return {{x, -10000}, {x, 10000}}; }
Guide horizontal(double y) { return {{-10000, y}, {10000, y}}; }

} // namespace

TEST(PanelSnapping, EdgesSnapWithinEightScreenPointsFirstEdgeFirst)
{
    // A fixed panel at (0, 0, 100, 80): candidates x 0, 50, 100 and y 0, 40, 80. The
    // moving one is 96 x 80.
    DocumentModel model;
    model.panels = {panel(1, {0, 0, 100, 80}), panel(2, {300, 300, 96, 80})};
    const QUuid moving = test::uuid(2);
    struct Case {
        const char* what;
        Point proposed;
        double magnification;
        bool free;
        Point expected;
        std::vector<Guide> guides;
    };
    const Case cases[] = {
        {"left edge onto the right edge", {106, 300}, 1, false, {100, 300}, {vertical(100)}},
        {"beyond the snap distance", {109, 300}, 1, false, {109, 300}, {}},
        {"16 canvas points at half size", {116, 300}, 0.5, false, {100, 300}, {vertical(100)}},
        {"8 canvas points at double size is too far", {108, 300}, 2, false, {108, 300}, {}},
        {"both axes: vertical guide first", {103, 84}, 1, false, {100, 80}, {vertical(100), horizontal(80)}},
        {"free never snaps", {103, 84}, 1, true, {103, 84}, {}},
        // The left edge is 7 from x = 50, the centre (57 + 48) only 5 from x = 100.
        {"left edge before a closer centre", {57, 300}, 1, false, {50, 300}, {vertical(50)}},
        {"centre onto the left edge", {-52, 300}, 1, false, {-48, 300}, {vertical(0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SnappedOrigin result = snappedPanelOrigin(model, moving, c.proposed, c.free, c.magnification);
        EXPECT_EQ(result.origin, c.expected);
        EXPECT_EQ(result.guides, c.guides);
    }
}

TEST(PanelSnapping, ALonePanelOrAnUnknownOneSnapsToNothing)
{
    DocumentModel model;
    model.panels = {panel(1, {0, 0, 100, 80})};
    EXPECT_EQ(snappedPanelOrigin(model, test::uuid(1), {3, 2}, false, 1), (SnappedOrigin{{3, 2}, {}}));
    EXPECT_EQ(snappedPanelOrigin(model, test::uuid(9), {3, 2}, false, 1), (SnappedOrigin{{3, 2}, {}}));
}

TEST(PanelSnapping, CornerScalingFollowsTheHorizontalReachAndFlipsPastTheAnchor)
{
    DocumentModel model;
    Panel original = panel(1, {0, 0, 200, 100});
    original.isManuallyPositioned = true;
    model.panels = {original};
    const Point anchor{0, 0}; // the bottom-right corner is dragged
    struct Case {
        const char* what;
        Point pointer;
        double scale;
        Rect frame;
    };
    const Case cases[] = {
        {"half the width", {100, 40}, 0.5, {0, 0, 100, 50}},
        {"onto the anchor: 20 points wide", {0, 0}, 0.1, {0, 0, 20, 10}},
        {"up and left past the anchor", {-300, -10}, 1.5, {-300, -150, 300, 150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentModel scaled = model;
        scalePanelByCorner(scaled, original.id, anchor, original, c.pointer);
        EXPECT_DOUBLE_EQ(scaled.panels[0].scale, c.scale);
        EXPECT_EQ(frame(scaled.panels[0]), c.frame);
    }

    DocumentModel tiny;
    Panel small = panel(1, {0, 0, 300, 10});
    small.isManuallyPositioned = true;
    tiny.panels = {small};
    scalePanelByCorner(tiny, small.id, {0, 0}, small, {1, 1});
    EXPECT_DOUBLE_EQ(tiny.panels[0].scale, 20.0 / 300); // the 20 point reach
    Panel wide = panel(1, {0, 0, 1000, 10});
    wide.isManuallyPositioned = true;
    tiny.panels = {wide};
    scalePanelByCorner(tiny, wide.id, {0, 0}, wide, {1, 1});
    EXPECT_DOUBLE_EQ(tiny.panels[0].scale, 0.05); // never below
}
