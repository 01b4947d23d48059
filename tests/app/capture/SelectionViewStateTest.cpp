#include "app/capture/SelectionViewState.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

SelectionViewState screenOf(SelectionMode mode, double scale = 1)
{
    SelectionViewState state;
    state.size = QSizeF(800, 600);
    state.scale = scale;
    state.mode = mode;
    return state;
}

} // namespace

TEST(SelectionViewState, DraggedRectangleRunsBetweenThePressAndItsFarEnd)
{
    SelectionViewState state = screenOf(SelectionMode::area());
    EXPECT_FALSE(state.selection());
    state.start = QPointF(300, 200);
    state.current = QPointF(100, 250);
    EXPECT_EQ(state.selection(), QRectF(100, 200, 200, 50));
    state.current = state.start;
    EXPECT_EQ(state.selection(), QRectF(300, 200, 0, 0)) << "a click is an empty rectangle at its point";
}

TEST(SelectionViewState, ExactFixedSizeFollowsThePointerAndStaysOnTheScreen)
{
    SelectionViewState state = screenOf(SelectionMode::fixed({.width = 200, .height = 100}), 2);
    EXPECT_FALSE(state.selection()) << "no pointer, no frame";
    state.mouse = QPointF(799, 599);
    EXPECT_EQ(state.selection(), QRectF(700, 550, 100, 50));

    state.mode = SelectionMode::fixed({.width = 2000, .height = 100});
    EXPECT_FALSE(state.selection()) << "larger than the screen's 1600 pixels";
}

TEST(SelectionViewState, WindowsAreFoundFrontToBackOnlyWhenTheModePicksWindows)
{
    SelectionViewState state = screenOf(SelectionMode::window());
    state.windows = {{.id = 1, .rect = QRectF(0, 0, 100, 100)}, {.id = 2, .rect = QRectF(50, 50, 200, 200)}};
    EXPECT_EQ(state.windowAt(QPointF(60, 60))->id, 1u);
    EXPECT_EQ(state.windowAt(QPointF(100, 60))->id, 2u) << "a right edge lies outside";
    EXPECT_FALSE(state.windowAt(QPointF(300, 300)));

    state.mouse = QPointF(60, 60);
    state.chosen = {1};
    EXPECT_FALSE(state.hoveredWindow()) << "a picked window is drawn as picked only";

    state.mode = SelectionMode::area();
    EXPECT_FALSE(state.windowAt(QPointF(60, 60)));
}
