#include "app/editor/canvas/CanvasFrame.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

// A shown canvas whose clip size is already known and unchanged.
FrameRequest settled(Rect bounds, Rect current, Rect visible)
{
    FrameRequest r;
    r.canvasBounds = bounds;
    r.clipSize = visible.size;
    r.lastClipSize = visible.size;
    r.visibleRect = visible;
    r.inWindow = true;
    r.currentBounds = current;
    r.didInitialScroll = true;
    return r;
}

} // namespace

TEST(CanvasFrameTest, EmptyDocumentGetsAPaddedSquareOrTheClipSizeAroundIt)
{
    FrameRequest hidden;
    FramePlan plan = planFrame(hidden);
    EXPECT_EQ(plan.mode, FramePlan::Mode::centre);
    EXPECT_EQ(plan.bounds, Rect(-36, -36, 172, 172));
    EXPECT_FALSE(plan.scrollTo);

    FrameRequest shown;
    shown.clipSize = {800, 600};
    shown.inWindow = true;
    plan = planFrame(shown);
    EXPECT_EQ(plan.bounds, Rect(50 - 400, 50 - 300, 800, 600));
    EXPECT_EQ(plan.lastClipSize, (Size{800, 600}));
    // The first time it is shown, the view scrolls to the top-left of its frame.
    EXPECT_TRUE(plan.didInitialScroll);
    EXPECT_EQ(plan.scrollTo, (Point{50 - 400, 50 - 300}));
}

TEST(CanvasFrameTest, ANewClipSizeRecentresTheContentAndKeepsWhatWasSeen)
{
    FrameRequest r = settled({0, 0, 1000, 400}, {0, 0, 1000, 600}, {100, 50, 500, 600});
    r.clipSize = {700, 500};
    const FramePlan plan = planFrame(r);
    EXPECT_EQ(plan.mode, FramePlan::Mode::centre);
    // As wide as the content, as tall as the clip, centred on the content.
    EXPECT_EQ(plan.bounds, Rect(0, 200 - 250, 1000, 500));
    EXPECT_EQ(plan.scrollTo, (Point{100, 50}));
}

TEST(CanvasFrameTest, AGrowingCanvasOnlyEnlargesTheFrame)
{
    const FrameRequest r = settled({-200, 0, 900, 700}, {0, 0, 1000, 600}, {100, 50, 500, 600});
    const FramePlan plan = planFrame(r);
    EXPECT_EQ(plan.mode, FramePlan::Mode::grow);
    EXPECT_EQ(plan.bounds, Rect(-200, 0, 1200, 700));
    EXPECT_EQ(plan.scrollTo, (Point{100, 50}));

    // A shrinking document leaves the frame as it is.
    const FramePlan shrunk = planFrame(settled({10, 10, 50, 50}, {0, 0, 1000, 600}, {100, 50, 500, 600}));
    EXPECT_EQ(shrunk.bounds, Rect(0, 0, 1000, 600));
}

TEST(CanvasFrameTest, NoFrameChangeWhileAGestureRuns)
{
    FrameRequest r = settled({-200, 0, 900, 700}, {0, 0, 1000, 600}, {100, 50, 500, 600});
    r.isInteracting = true;
    const FramePlan plan = planFrame(r);
    EXPECT_EQ(plan.mode, FramePlan::Mode::keep);
    EXPECT_FALSE(plan.bounds);
    EXPECT_FALSE(plan.scrollTo);
}

TEST(CanvasFrameTest, RefitRunsAtMostThreePassesAndNeverReenters)
{
    bool updating = false;
    int applied = 0;
    // A clip size that never settles (scroll bars flickering): three passes, then stop.
    EXPECT_EQ(refitFrame(
                  updating, [&] { ++applied; }, [] { return true; }),
              3);
    EXPECT_EQ(applied, 3);
    EXPECT_FALSE(updating);

    // A clip size that settles after the second pass.
    applied = 0;
    EXPECT_EQ(refitFrame(
                  updating, [&] { ++applied; }, [&] { return applied < 2; }),
              2);

    // A refit asked for during a pass does nothing.
    int inner = -1;
    refitFrame(
        updating,
        [&] {
            inner = refitFrame(
                updating, [] {}, [] { return false; });
        },
        [] { return false; });
    EXPECT_EQ(inner, 0);
}
