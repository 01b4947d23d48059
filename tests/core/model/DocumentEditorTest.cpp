#include "core/model/DocumentEditor.h"

#include "support/ModelBuilders.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

class DocumentEditorTest : public testing::Test {
protected:
    DocumentEditorTest()
    {
        undo.setGroupsByEvent(false);
        editor.onChange = [this] { ++changes; };
    }

    static DocumentModel start()
    {
        DocumentModel d;
        d.annotations = {Annotation::make(test::uuid(1), AnnotationKind::rectangle, {{0, 0}, {10, 10}})};
        return d;
    }
    static DocumentEditor::Mutation moveBy(double dx)
    {
        return [dx](DocumentModel& d) {
            for (Point& p : d.annotations[0].points)
                p.x += dx;
        };
    }
    double firstX() const { return editor.model().annotations[0].points[0].x; }

    UndoManager undo;
    DocumentEditor editor{start(), undo};
    int changes = 0;
};

} // namespace

TEST_F(DocumentEditorTest, PerformThatChangesNothingRecordsNoStep)
{
    editor.perform(u"Niente"_s, [](DocumentModel& d) { d.padding = 0; });
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(changes, 0);
}

TEST_F(DocumentEditorTest, PerformRecordsOneNamedStepThatUndoesAndRedoes)
{
    editor.perform(u"Sposta"_s, moveBy(5));
    EXPECT_EQ(firstX(), 5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(undo.undoActionName(), "Sposta");
    undo.undo();
    EXPECT_EQ(editor.model(), start());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(undo.redoActionName(), "Sposta");
    undo.redo();
    EXPECT_EQ(firstX(), 5);
    EXPECT_EQ(undo.undoActionName(), "Sposta");
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(DocumentEditorTest, InteractionUpdatesReplayOnTheSnapshot)
{
    editor.beginInteraction();
    editor.updateInteraction(moveBy(10));
    editor.beginInteraction(); // keeps the first snapshot
    editor.updateInteraction(moveBy(20));
    EXPECT_EQ(firstX(), 20);
    EXPECT_FALSE(undo.canUndo());
    editor.endInteraction(u"Sposta pannello"_s);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(undo.undoActionName(), "Sposta pannello");
    undo.undo();
    EXPECT_EQ(editor.model(), start());
    EXPECT_FALSE(undo.canUndo());
    undo.redo();
    EXPECT_EQ(firstX(), 20);
}

TEST_F(DocumentEditorTest, InteractionsThatEndWhereTheyBeganRecordNothing)
{
    editor.beginInteraction();
    editor.endInteraction(u"Niente"_s);
    EXPECT_EQ(changes, 0);

    editor.beginInteraction();
    editor.updateInteraction(moveBy(4));
    editor.updateInteraction(moveBy(0));
    editor.endInteraction(u"Niente"_s);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(DocumentEditorTest, CancelRestoresAndPerformCancelsFirst)
{
    editor.beginInteraction();
    editor.updateInteraction(moveBy(4));
    editor.cancelInteraction();
    EXPECT_EQ(editor.model(), start());
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(editor.isInteracting());

    editor.beginInteraction();
    editor.updateInteraction(moveBy(4));
    editor.perform(u"Niente"_s, [](DocumentModel&) {});
    EXPECT_FALSE(editor.isInteracting());
    EXPECT_EQ(editor.model(), start());
    EXPECT_EQ(changes, 4);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(DocumentEditorTest, UpdatesWithoutAnInteractionDoNothing)
{
    bool ran = false;
    editor.updateInteraction([&](DocumentModel&) { ran = true; });
    editor.endInteraction(u"Niente"_s);
    editor.cancelInteraction();
    EXPECT_FALSE(ran);
    EXPECT_EQ(changes, 0);
}

TEST(DocumentEditor, StepsOfOneEventLoopTurnUndoTogether)
{
    UndoManager undo;
    DocumentEditor editor(DocumentModel{}, undo);
    QTimer::singleShot(0, [&] {
        editor.perform(u"Primo"_s, [](DocumentModel& d) { d.padding = 1; });
        editor.perform(u"Secondo"_s, [](DocumentModel& d) { d.padding = 2; });
        QTimer::singleShot(0, [&] {
            editor.perform(u"Terzo"_s, [](DocumentModel& d) { d.padding = 3; });
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        });
    });
    QCoreApplication::exec();
    EXPECT_EQ(undo.undoActionName(), "Terzo");
    undo.undo();
    EXPECT_EQ(editor.model().padding, 2);
    EXPECT_EQ(undo.undoActionName(), "Secondo");
    undo.undo();
    EXPECT_EQ(editor.model().padding, 0);
    EXPECT_FALSE(undo.canUndo());
    undo.redo();
    EXPECT_EQ(editor.model().padding, 2);
}

TEST(DocumentEditor, ForgetsItsStepsWhenItGoesAway)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    {
        DocumentEditor editor(DocumentModel{}, undo);
        editor.perform(u"Passo"_s, [](DocumentModel& d) { d.padding = 4; });
        EXPECT_TRUE(undo.canUndo());
    }
    EXPECT_FALSE(undo.canUndo());
    undo.undo(); // nothing left that could reach the editor
}
