#include "core/model/UndoManager.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vorlix;

TEST(UndoManager, ExplicitGroupsNestAndUndoInReverse)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    std::vector<int> ran;
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [&] { ran.push_back(1); });
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [&] { ran.push_back(2); });
    undo.endUndoGrouping();
    undo.setActionName(QStringLiteral("Gruppo"));
    undo.endUndoGrouping();
    EXPECT_EQ(undo.undoActionName(), "Gruppo");
    undo.undo();
    EXPECT_EQ(ran, (std::vector<int>{2, 1}));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo()); // the handlers registered no inverse
}

TEST(UndoManager, ANewStepForgetsTheRedoStack)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    std::function<void()> step = [&] { undo.registerUndo(nullptr, step); };
    undo.registerUndo(nullptr, step);
    undo.undo();
    EXPECT_TRUE(undo.canRedo());
    undo.registerUndo(nullptr, [] {});
    EXPECT_FALSE(undo.canRedo());
}

TEST(UndoManager, UndoClosesTheOpenEventGroup)
{
    UndoManager undo;
    int undone = 0;
    undo.registerUndo(nullptr, [&] { ++undone; });
    undo.registerUndo(nullptr, [&] { ++undone; });
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(undone, 2);
    EXPECT_FALSE(undo.canUndo());
}
