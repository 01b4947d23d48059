#include "CanvasFixture.h"

#include "core/document/DocumentAnnotations.h"

#include <QApplication>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

const RGBAColor green{0, 1, 0, 1};

void setColor(Style& s) { s.strokeColor = green; }

// An Alt-turn of the wheel over the middle of the canvas, in notches (angleDelta).
void altWheel(CanvasView& view, QPoint angleDelta, QPoint pixelDelta = {})
{
    const QPointF at(view.viewport()->width() / 2.0, view.viewport()->height() / 2.0);
    QWheelEvent event(at, view.viewport()->mapToGlobal(at), pixelDelta, angleDelta, Qt::NoButton, Qt::AltModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &event);
}

} // namespace

TEST(CanvasStyleEditing, ContextIsTheSelectionsOrTheToolsStyle)
{
    test::CanvasFixture canvas;
    EXPECT_FALSE(canvas.view.styleContext()); // select draws nothing
    canvas.view.setTool(Tool::ruler);
    EXPECT_FALSE(canvas.view.styleContext());

    canvas.view.setTool(Tool::arrow);
    const auto expected = CanvasView::StyleContext{{AnnotationKind::arrow}, canvas.view.style(AnnotationKind::arrow)};
    EXPECT_EQ(canvas.view.styleContext(), expected);

    // Two kinds: both offered, the values of the one drawn first.
    canvas.editor.perform(u"Cambia spessore"_s, [](DocumentModel& doc) {
        updateAnnotation(doc, test::uuid(10), [](Annotation& a) { a.style.lineWidth = 3; });
    });
    canvas.view.setSelection({test::uuid(11), test::uuid(10)});
    const std::optional<CanvasView::StyleContext> context = canvas.view.styleContext();
    ASSERT_TRUE(context);
    EXPECT_EQ(context->kinds, (std::set{AnnotationKind::arrow, AnnotationKind::rectangle}));
    EXPECT_EQ(context->style, canvas.annotationAt(0).style);
}

TEST(CanvasStyleEditing, WithNothingSelectedOnlyTheToolsDefaultChanges)
{
    test::CanvasFixture canvas;
    canvas.view.setTool(Tool::arrow);
    const DocumentModel before = canvas.editor.model();
    canvas.stateChanges = 0;

    canvas.view.changeStyle(u"Cambia colore"_s, false, setColor);
    EXPECT_EQ(canvas.view.style(AnnotationKind::arrow).strokeColor, green);
    EXPECT_EQ(canvas.settings.get(setting::toolStyles).at(AnnotationKind::arrow).strokeColor, green);
    EXPECT_NE(canvas.view.style(AnnotationKind::line).strokeColor, green);
    EXPECT_EQ(canvas.editor.model(), before);
    EXPECT_FALSE(canvas.undo.canUndo());
    EXPECT_EQ(canvas.stateChanges, 1);
}

TEST(CanvasStyleEditing, AChangeOnTheSelectionIsOneStepForEveryKindAndItsTool)
{
    test::CanvasFixture canvas;
    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    const DocumentModel before = canvas.editor.model();

    canvas.view.changeStyle(u"Cambia colore"_s, false, setColor);
    EXPECT_EQ(canvas.annotationAt(0).style.strokeColor, green);
    EXPECT_EQ(canvas.annotationAt(1).style.strokeColor, green);
    EXPECT_NE(canvas.annotationAt(2).style.strokeColor, green);
    EXPECT_EQ(canvas.view.style(AnnotationKind::arrow).strokeColor, green);
    EXPECT_EQ(canvas.view.style(AnnotationKind::rectangle).strokeColor, green);

    EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia colore"_s);
    canvas.undo.undo();
    EXPECT_EQ(canvas.editor.model(), before);
    EXPECT_FALSE(canvas.undo.canUndo());
    canvas.undo.redo();
    EXPECT_EQ(canvas.annotationAt(1).style.strokeColor, green);
}

TEST(CanvasStyleEditing, AHeldSliderIsOneStepAndOneSettingsWrite)
{
    test::CanvasFixture canvas;
    canvas.view.setSelection({test::uuid(10)});
    const Style original = canvas.annotationAt(0).style;

    for (double width = 5; width <= 12; ++width) {
        canvas.view.changeStyle(u"Cambia spessore"_s, true, [width](Style& s) { s.lineWidth = width; });
        EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, width); // shown live
    }
    EXPECT_FALSE(canvas.undo.canUndo());
    EXPECT_EQ(canvas.store().writeCount(u"toolStyles"_s), 0);

    canvas.view.changeStyle(u"Cambia spessore"_s, false, [](Style& s) { s.lineWidth = 12; });
    EXPECT_FALSE(canvas.view.state().isChangingStyle);
    EXPECT_FALSE(canvas.editor.isInteracting());
    EXPECT_EQ(canvas.store().writeCount(u"toolStyles"_s), 1);
    EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia spessore"_s);
    canvas.undo.undo();
    EXPECT_EQ(canvas.annotationAt(0).style, original);
    EXPECT_FALSE(canvas.undo.canUndo());
}

TEST(CanvasStyleEditing, AWheelGestureIsOneStepThatStopsAtTheEndOfTheMeasure)
{
    // Ten events each way from the arrow's width 9 (range 1 ... 48, step 1). X11 turns
    // the wheel sideways while Alt is held; a touchpad's pixels only give the direction.
    struct Case {
        const char* name;
        QPoint angle;
        QPoint pixels;
        double expected;
    };
    const Case cases[] = {
        {"up", {0, 120}, {}, 19},
        {"down, to the end", {0, -120}, {}, 1},
        {"sideways", {120, 0}, {}, 19},
        {"touchpad", {}, {0, 3}, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::CanvasFixture canvas;
        canvas.view.setSelection({test::uuid(10)});
        const Style original = canvas.annotationAt(0).style;
        ASSERT_EQ(original.lineWidth, 9);

        for (int i = 0; i < 10; ++i)
            altWheel(canvas.view, c.angle, c.pixels);
        EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, c.expected);
        EXPECT_FALSE(canvas.undo.canUndo());
        EXPECT_TRUE(canvas.view.isWheelTimerActive());

        ASSERT_TRUE(test::waitUntil([&] { return canvas.undo.canUndo(); }, 3s));
        EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia misura"_s);
        EXPECT_EQ(canvas.store().writeCount(u"toolStyles"_s), 1);
        EXPECT_EQ(canvas.view.style(AnnotationKind::arrow).lineWidth, c.expected);
        canvas.undo.undo();
        EXPECT_EQ(canvas.annotationAt(0).style, original);
        EXPECT_FALSE(canvas.undo.canUndo());
    }
}

TEST(CanvasStyleEditing, AnEditRightAfterTheWheelKeepsBothChangesAsStepsOfTheirOwn)
{
    const auto moveArrow = [](double dx) {
        return [dx](DocumentModel& doc) {
            updateAnnotation(doc, test::uuid(10), [dx](Annotation& a) {
                for (Point& p : a.points)
                    p.x += dx;
            });
        };
    };
    struct Case {
        const char* name;
        std::function<void(DocumentEditor&)> edit;
    };
    const Case cases[] = {
        {"a one-off step", [&](DocumentEditor& e) { e.perform(u"Sposta"_s, moveArrow(30)); }},
        {"a drag",
         [&](DocumentEditor& e) {
             e.beginInteraction();
             e.updateInteraction(moveArrow(10));
             e.updateInteraction(moveArrow(30));
             e.endInteraction(u"Sposta"_s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::CanvasFixture canvas;
        canvas.view.setSelection({test::uuid(10)});
        const DocumentModel original = canvas.editor.model();

        altWheel(canvas.view, {0, 120});
        altWheel(canvas.view, {0, 120});
        c.edit(canvas.editor); // within the wheel's interval
        EXPECT_FALSE(canvas.view.isWheelTimerActive());
        EXPECT_FALSE(canvas.view.state().isChangingStyle);
        EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, 11);
        EXPECT_EQ(canvas.annotationAt(0).points[0].x, 50);
        EXPECT_EQ(canvas.settings.get(setting::toolStyles).at(AnnotationKind::arrow).lineWidth, 11);

        test::processEventsFor(700ms); // nothing is left for the timer to end
        EXPECT_EQ(canvas.undo.undoActionName(), u"Sposta"_s);
        canvas.undo.undo();
        EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, 11);
        EXPECT_EQ(canvas.annotationAt(0).points[0].x, 20);
        EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia misura"_s);
        canvas.undo.undo();
        EXPECT_EQ(canvas.editor.model(), original);
        EXPECT_FALSE(canvas.undo.canUndo());
        canvas.undo.redo();
        canvas.undo.redo();
        EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, 11);
        EXPECT_EQ(canvas.annotationAt(0).points[0].x, 50);
    }
}

TEST(CanvasStyleEditing, ACancelledWheelGestureLeavesNothingToEnd)
{
    test::CanvasFixture canvas;
    canvas.view.setSelection({test::uuid(10)});
    altWheel(canvas.view, {0, 120});
    canvas.editor.cancelInteraction(); // Escape
    EXPECT_FALSE(canvas.view.state().isChangingStyle);
    EXPECT_FALSE(canvas.view.isWheelTimerActive());
    EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, 9);

    // A drag begun now is not ended by the wheel.
    canvas.editor.beginInteraction();
    test::processEventsFor(700ms);
    EXPECT_TRUE(canvas.editor.isInteracting());
    canvas.editor.cancelInteraction();
}

TEST(CanvasStyleEditing, ResetsGoBackToEachKindsDefaults)
{
    test::CanvasFixture canvas;
    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    canvas.view.changeStyle(u"Cambia colore"_s, false, setColor);

    canvas.view.resetStyleToDefaults();
    EXPECT_EQ(canvas.undo.undoActionName(), u"Ripristina stile"_s);
    EXPECT_EQ(canvas.annotationAt(0).style, Style::defaults(AnnotationKind::arrow));
    EXPECT_EQ(canvas.annotationAt(1).style, Style::defaults(AnnotationKind::rectangle));
    EXPECT_EQ(canvas.view.style(AnnotationKind::rectangle), Style::defaults(AnnotationKind::rectangle));

    // The settings window's reset: the canvas reloads; drawn objects keep their styles.
    canvas.view.changeStyle(u"Cambia colore"_s, false, setColor);
    canvas.stateChanges = 0;
    canvas.settings.resetToolStyles();
    EXPECT_EQ(canvas.view.style(AnnotationKind::arrow), Style::defaults(AnnotationKind::arrow));
    EXPECT_EQ(canvas.annotationAt(0).style.strokeColor, green);
    EXPECT_GE(canvas.stateChanges, 1);
}

TEST(CanvasStyleEditing, AChosenStampGoesToTheSelectedStampsElseToTheNextOne)
{
    test::CanvasFixture canvas;
    canvas.view.chooseStamp(u"\u2B50"_s);
    EXPECT_EQ(canvas.settings.get(setting::currentStamp), u"\u2B50"_s);
    EXPECT_EQ(canvas.view.displayedStamp(), u"\u2B50"_s);
    EXPECT_FALSE(canvas.undo.canUndo());

    canvas.view.setSelection({test::uuid(10), test::uuid(13)});
    const Annotation arrow = canvas.annotationAt(0);
    canvas.view.chooseStamp(u"\u274C"_s);
    EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia timbro"_s);
    EXPECT_EQ(canvas.annotationAt(3).text, u"\u274C"_s);
    EXPECT_EQ(canvas.annotationAt(0), arrow);
    EXPECT_EQ(canvas.settings.get(setting::currentStamp), u"\u2B50"_s);
    EXPECT_EQ(canvas.view.displayedStamp(), u"\u274C"_s);
}

TEST(CanvasStyleEditing, APresetAppliesOnlyToOneKindAndOnlyWhenItExists)
{
    test::CanvasFixture canvas;
    StylePresetLibrary library;
    for (const double width : {5.0, 7.0, 11.0}) {
        Style s = Style::defaults(AnnotationKind::arrow);
        s.lineWidth = width;
        library.save(s, u"Spesso %1"_s.arg(width), AnnotationKind::arrow);
    }
    library.select(0, AnnotationKind::arrow);
    canvas.settings.set(setting::stylePresets, library);
    const DocumentModel before = canvas.editor.model();

    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    EXPECT_FALSE(canvas.view.applyStylePreset(1)); // two kinds
    canvas.view.setSelection({test::uuid(10)});
    EXPECT_FALSE(canvas.view.applyStylePreset(9));
    EXPECT_FALSE(canvas.view.applyStylePreset(-1));
    EXPECT_EQ(canvas.editor.model(), before);
    EXPECT_EQ(canvas.settings.get(setting::stylePresets), library);

    EXPECT_TRUE(canvas.view.applyStylePreset(1));
    EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, 7);
    EXPECT_EQ(canvas.undo.undoActionName(), u"Preset Spesso 7"_s);
    EXPECT_EQ(canvas.settings.get(setting::stylePresets).selectedIndex(AnnotationKind::arrow), 1u);
    EXPECT_EQ(canvas.view.style(AnnotationKind::arrow).lineWidth, 7);
}
