#include "core/model/DocumentEditor.h"

#include "support/ModelBuilders.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

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

TEST_F(DocumentEditorTest, AnInteractionWithAFinisherIsEndedBeforeTheNextChange)
{
    // Each later change (a one-off step, a new gesture) keeps the open change as a step
    // of its own instead of discarding or absorbing it.
    struct Case {
        const char* name;
        std::function<void(DocumentEditor&)> next;
        double x;
    };
    const Case cases[] = {
        {"perform", [](DocumentEditor& e) { e.perform(u"Sposta"_s, moveBy(100)); }, 104},
        {"gesture",
         [](DocumentEditor& e) {
             e.beginInteraction();
             e.updateInteraction(moveBy(100));
             e.endInteraction(u"Sposta"_s);
         },
         104},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UndoManager manager;
        manager.setGroupsByEvent(false);
        DocumentEditor e{start(), manager};
        int finished = 0;
        e.beginInteraction([&] {
            ++finished;
            e.endInteraction(u"Cambia misura"_s);
        });
        e.updateInteraction(moveBy(4));
        c.next(e);
        EXPECT_EQ(finished, 1);
        EXPECT_EQ(e.model().annotations[0].points[0].x, c.x);
        EXPECT_EQ(manager.undoActionName(), "Sposta");
        manager.undo();
        EXPECT_EQ(e.model().annotations[0].points[0].x, 4);
        EXPECT_EQ(manager.undoActionName(), "Cambia misura");
        manager.undo();
        EXPECT_EQ(e.model(), start());
        EXPECT_FALSE(manager.canUndo());
    }

    // Ended or cancelled by its opener, it leaves nothing to call later.
    int finished = 0;
    editor.beginInteraction([&] { ++finished; });
    editor.cancelInteraction();
    editor.perform(u"Sposta"_s, moveBy(1));
    EXPECT_EQ(finished, 0);
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

TEST_F(DocumentEditorTest, SubscribersHearEachChangeWithTheModelBeforeAndAfter)
{
    struct Heard {
        double before;
        double after;
        QString name;
        ChangeCause cause;
        bool operator==(const Heard&) const = default;
    };
    std::vector<Heard> heard;
    std::vector<int> order;
    const auto x = [](const DocumentModel& d) { return d.annotations[0].points[0].x; };
    Subscription first = editor.subscribe([&](const DocumentChange& c) {
        heard.push_back({x(c.before), x(c.after), c.actionName, c.cause});
        order.push_back(1);
    });
    Subscription second = editor.subscribe([&](const DocumentChange&) { order.push_back(2); });

    editor.perform(u"Sposta"_s, moveBy(5));
    editor.beginInteraction();
    editor.updateInteraction(moveBy(1));
    editor.updateInteraction(moveBy(2));
    editor.endInteraction(u"Trascina"_s);
    undo.undo();
    undo.redo();
    editor.beginInteraction();
    editor.updateInteraction(moveBy(3));
    editor.cancelInteraction();
    editor.perform(u"Niente"_s, [](DocumentModel&) {});

    const std::vector<Heard> expected = {
        {0, 5, u"Sposta"_s, ChangeCause::perform},   {5, 6, {}, ChangeCause::interactionUpdate},
        {6, 7, {}, ChangeCause::interactionUpdate},  {5, 7, u"Trascina"_s, ChangeCause::interactionEnd},
        {7, 5, u"Trascina"_s, ChangeCause::undo},    {5, 7, u"Trascina"_s, ChangeCause::redo},
        {7, 10, {}, ChangeCause::interactionUpdate}, {10, 7, {}, ChangeCause::interactionCancel},
    };
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(order.size(), 2 * expected.size());
    EXPECT_EQ(order[0], 1);
    EXPECT_EQ(order[1], 2);

    // A subscriber that leaves while it is told, and one that goes out of scope.
    int selfCancelling = 0;
    Subscription leaving;
    leaving = editor.subscribe([&](const DocumentChange&) {
        ++selfCancelling;
        leaving.cancel();
    });
    second = Subscription();
    order.clear();
    editor.perform(u"Sposta"_s, moveBy(1));
    editor.perform(u"Sposta"_s, moveBy(1));
    EXPECT_EQ(selfCancelling, 1);
    EXPECT_EQ(order, (std::vector<int>{1, 1}));
}

TEST(DocumentEditor, SubscriptionsMayOutliveTheEditor)
{
    UndoManager undo;
    Subscription kept;
    {
        DocumentEditor editor(DocumentModel{}, undo);
        kept = editor.subscribe([](const DocumentChange&) {});
    }
    kept.cancel(); // nothing left to leave
}

TEST_F(DocumentEditorTest, ModifiedFollowsTheSavedStepThroughUndoAndRedo)
{
    std::vector<bool> flips;
    QObject::connect(&undo, &UndoManager::cleanChanged, [&](bool clean) { flips.push_back(clean); });
    // Each step: what is done, then whether the document differs from the saved one.
    struct Step {
        const char* what;
        std::function<void()> act;
        bool modified;
    };
    const std::vector<Step> steps = {
        {"new document", [] {}, false},
        {"change", [&] { editor.perform(u"Sposta"_s, moveBy(1)); }, true},
        {"save", [&] { editor.markSaved(); }, false},
        {"change", [&] { editor.perform(u"Sposta"_s, moveBy(1)); }, true},
        {"undo to saved", [&] { undo.undo(); }, false},
        {"undo past saved", [&] { undo.undo(); }, true},
        {"redo to saved", [&] { undo.redo(); }, false},
        {"interaction that changes nothing",
         [&] {
             editor.beginInteraction();
             editor.endInteraction(u"X"_s);
         },
         false},
        {"undo", [&] { undo.undo(); }, true},
        {"new branch drops the saved step", [&] { editor.perform(u"Sposta"_s, moveBy(7)); }, true},
        {"undo", [&] { undo.undo(); }, true},
        {"redo", [&] { undo.redo(); }, true},
        {"save again", [&] { editor.markSaved(); }, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(editor.isModified(), step.modified);
    }
    EXPECT_EQ(flips, (std::vector<bool>{false, true, false, true, false, true, false, true}));
}

TEST(DocumentEditor, UndoGivesBackEveryEarlierDocumentExactly)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    DocumentModel start;
    for (int p = 0; p < 3; ++p) {
        Panel panel;
        panel.id = test::uuid(100 + p);
        panel.annotations = {Annotation::make(test::uuid(p), AnnotationKind::arrow, {{0, 0}, {p + 1.0, 1}})};
        start.panels.push_back(panel);
    }
    start.annotations = {Annotation::make(test::uuid(9), AnnotationKind::text, {{1, 1}}, u"Nota"_s)};
    DocumentEditor editor(start, undo);
    // Changes that keep, move, drop and add pieces the history may share.
    const std::vector<DocumentEditor::Mutation> changes = {
        [](DocumentModel& d) { d.panels[1].annotations[0].points[0].x = 5; },
        [](DocumentModel& d) { std::swap(d.panels[0], d.panels[2]); },
        [](DocumentModel& d) { d.panels.erase(d.panels.begin()); },
        [](DocumentModel& d) {
            d.annotations.clear();
            d.padding = 12;
        },
        [](DocumentModel& d) {
            d.panels.push_back(d.panels.front());
            d.panels.back().id = test::uuid(200);
        },
    };
    std::vector<DocumentModel> seen = {editor.model()};
    for (const auto& change : changes) {
        editor.perform(u"Cambia"_s, change);
        seen.push_back(editor.model());
    }
    for (std::size_t i = seen.size() - 1; i-- > 0;) {
        undo.undo();
        EXPECT_EQ(editor.model(), seen[i]) << "after undoing to step " << i;
    }
    for (std::size_t i = 1; i < seen.size(); ++i) {
        undo.redo();
        EXPECT_EQ(editor.model(), seen[i]) << "after redoing to step " << i;
    }
}
