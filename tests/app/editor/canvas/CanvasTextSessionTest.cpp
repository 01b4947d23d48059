#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/TextSessionEditor.h"

#include "core/document/DocumentAnnotations.h"
#include "core/shapes/TextLayout.h"

#include "support/ModelBuilders.h"

#include "DocumentCanvas.h"

#include <QAction>
#include <QFontInfo>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

const QUuid textID = test::uuid(20);
const QUuid calloutID = test::uuid(21);

Style redText(double size)
{
    Style style = Style::defaults(AnnotationKind::text);
    style.strokeColor = RGBAColor{1, 0, 0, 1};
    style.fontSize = size;
    return style;
}

struct TextSessionTest : test::DocumentCanvas {
    // Adds a text and a callout with a fixed width (three points) and forgets the step.
    void addAnnotations()
    {
        Style calloutStyle = Style::defaults(AnnotationKind::callout);
        calloutStyle.strokeColor = RGBAColor{0, 0, 1, 1};
        calloutStyle.fontSize = 15;
        editor().perform(u"setup"_s, [&](DocumentModel& doc) {
            insert(doc, CanvasShape{AnnotationKind::text, {{40, 40}}, u"Prova 123"_s, redText(22)}, textID);
            insert(doc,
                   CanvasShape{AnnotationKind::callout,
                               {{60, 140}, {20, 100}, {190, 170}},
                               u"Un fumetto che va a capo più volte"_s,
                               calloutStyle},
                   calloutID);
        });
        undo().removeAllActions();
    }

    TextSessionEditor* typing() { return view->textEditor(); }
    std::optional<Annotation> annotationOf(const QUuid& id) { return annotation(editor().model(), id); }
    // The annotations of the model other than `except`, by their text.
    std::vector<QString> texts()
    {
        std::vector<QString> result;
        for (const QUuid& id : annotationIDsInDrawOrder(editor().model()))
            result.push_back(annotationOf(id)->text);
        return result;
    }
};

// The box of the pixels of the image that are strongly red (or blue), in pixels.
QRect ink(const QImage& image, bool red)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int strong = red ? c.red() : c.blue();
            const int other = red ? c.blue() : c.red();
            if (strong > 160 && c.green() < 110 && other < 110)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

TEST_F(TextSessionTest, ReturnAndEscapeCommitWhileShiftOrAltReturnBreakTheLine)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool commits;
    };
    const Case cases[] = {
        {Qt::Key_Return, Qt::NoModifier, true},      {Qt::Key_Enter, Qt::KeypadModifier, true},
        {Qt::Key_Escape, Qt::NoModifier, true},      {Qt::Key_Return, Qt::ShiftModifier, false},
        {Qt::Key_Return, Qt::AltModifier, false},    {Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier, false},
        {Qt::Key_Return, Qt::ControlModifier, true},
    };
    // Keys the window binds to commands still reach the text.
    QAction windowCommand;
    windowCommand.setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return)});
    windowCommand.setShortcutContext(Qt::WindowShortcut);
    view->addAction(&windowCommand);
    int commands = 0;
    QObject::connect(&windowCommand, &QAction::triggered, [&] { ++commands; });
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " " << c.modifiers.toInt());
        view->beginNewText({100, 100}, AnnotationKind::text, std::nullopt);
        ASSERT_NE(typing(), nullptr);
        QTest::keyClicks(typing(), u"ab"_s);
        QTest::keyClick(typing(), c.key, c.modifiers);
        if (!c.commits) {
            ASSERT_TRUE(view->state().textSession.has_value());
            QTest::keyClicks(typing(), u"c"_s);
            QTest::keyClick(typing(), Qt::Key_Return);
        }
        EXPECT_FALSE(view->state().textSession.has_value());
        EXPECT_EQ(view->textEditor(), nullptr);
        ASSERT_TRUE(undo().canUndo());
        EXPECT_EQ(undo().undoActionName(), u"Scrivi testo"_s);
        ASSERT_EQ(view->state().selection.size(), 1u);
        const std::optional<Annotation> added = annotationOf(*view->state().selection.begin());
        ASSERT_TRUE(added.has_value());
        EXPECT_EQ(added->text, c.commits ? u"ab"_s : u"ab\nc"_s); // Escape keeps the text too
        undo().undo();
        EXPECT_TRUE(texts().empty());
        undo().removeAllActions();
        test::runDeferredDeletes();
    }
    EXPECT_EQ(commands, 0);
}

TEST_F(TextSessionTest, NewTextsAndCalloutsAreOneStepEachWithTheirNameAndPoints)
{
    view->beginNewText({100, 100}, AnnotationKind::callout, Point{20, 200});
    QTest::keyClicks(typing(), u"Qui"_s);
    const Point origin = view->state().textSession->origin;
    view->commitTextEditing();
    ASSERT_EQ(view->state().selection.size(), 1u);
    const QUuid added = *view->state().selection.begin();
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Scrivi fumetto"_s});
    const std::optional<CanvasShape> callout = canvasShape(editor().model(), added);
    ASSERT_TRUE(callout.has_value());
    EXPECT_EQ(callout->kind, AnnotationKind::callout);
    EXPECT_EQ(callout->points, (std::vector<Point>{origin, Point{20, 200}}));
    EXPECT_EQ(callout->style, view->style(AnnotationKind::callout));

    // The text's first line is centred on the point and the text begins at its x.
    const Style style = view->style(AnnotationKind::text);
    view->beginNewText({100, 100}, AnnotationKind::text, std::nullopt);
    const double lineHeight = TextLayout::size(u"M"_s, style, std::nullopt).height;
    EXPECT_EQ(view->state().textSession->origin, (Point{100 - TextLayout::padding(style), 100 - lineHeight / 2}));
}

TEST_F(TextSessionTest, BlankTextAddsNothingAndEmptiesAnExistingOneAway)
{
    addAnnotations();
    view->beginNewText({100, 100}, AnnotationKind::text, std::nullopt);
    QTest::keyClicks(typing(), u"   "_s);
    QTest::keyClick(typing(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(typing(), u" "_s);
    QTest::keyClick(typing(), Qt::Key_Return);
    EXPECT_FALSE(undo().canUndo());
    EXPECT_EQ(texts().size(), 2u);

    const DocumentModel before = editor().model();
    view->beginEditingText(calloutID);
    QTest::keyClick(typing(), Qt::Key_Backspace); // all its text was selected
    QTest::keyClick(typing(), Qt::Key_Return);
    EXPECT_FALSE(annotationOf(calloutID).has_value());
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Elimina testo"_s});
    undo().undo();
    EXPECT_EQ(editor().model(), before);
}

TEST_F(TextSessionTest, EditingIsOneStepThatUndoesAndRedoesExactly)
{
    addAnnotations();
    const DocumentModel before = editor().model();

    // Opened and closed without a change: nothing is recorded.
    view->beginEditingText(textID);
    EXPECT_EQ(view->state().selection, std::set<QUuid>{textID});
    EXPECT_EQ(typing()->textCursor().selectedText(), u"Prova 123"_s);
    QTest::keyClick(typing(), Qt::Key_Escape);
    EXPECT_FALSE(undo().canUndo());

    // Typing is undone inside the session and never reaches the document's history.
    view->beginEditingText(textID);
    QTest::keyClicks(typing(), u"Altro"_s);
    QTest::keyClick(typing(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(typing()->text(), u"Prova 123"_s);
    EXPECT_FALSE(undo().canUndo());
    view->commitTextEditing();
    EXPECT_FALSE(undo().canUndo());

    view->beginEditingText(textID);
    QTest::keyClicks(typing(), u"Nuovo"_s);
    QTest::keyClick(typing(), Qt::Key_Return, Qt::AltModifier);
    QTest::keyClicks(typing(), u"testo"_s);
    QTest::keyClick(typing(), Qt::Key_Return);
    const DocumentModel after = editor().model();
    EXPECT_EQ(annotationOf(textID)->text, u"Nuovo\ntesto"_s);
    EXPECT_EQ(annotationOf(textID)->points, (std::vector<Point>{{40, 40}}));
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Modifica testo"_s});
    undo().undo();
    EXPECT_EQ(editor().model(), before);
    undo().redo();
    EXPECT_EQ(editor().model(), after);
}

TEST_F(TextSessionTest, TheSessionShowsItsTextWhereAndAsTheRendererDrawsIt)
{
    addAnnotations();
    view->setMagnification(1.5);
    test::processEventsFor(std::chrono::milliseconds(20));
    for (const QUuid& id : {textID, calloutID}) {
        const bool text = id == textID;
        SCOPED_TRACE(text ? "red text" : "blue wrapping callout");
        // The ink in canvas points: a commit that enlarges the canvas moves it on screen.
        const auto canvasInk = [&] {
            test::processEventsFor(std::chrono::milliseconds(10));
            const QRect box = ink(view->viewport()->grab().toImage(), text);
            const Point from = view->toCanvas(box.topLeft());
            const Point to = view->toCanvas(box.bottomRight() + QPoint(1, 1));
            return Rect(from.x, from.y, to.x - from.x, to.y - from.y);
        };
        const Rect drawn = canvasInk();
        ASSERT_FALSE(drawn.isEmpty());

        view->beginEditingText(id);
        typing()->moveCursor(QTextCursor::End); // no selection over the text
        typing()->clearFocus();                 // and no caret
        const Rect editing = canvasInk();
        EXPECT_EQ(editing, drawn);
        if (text) { // the widget with the caret lies over the text
            const QRectF widget = typing()->geometry();
            EXPECT_TRUE(Rect::fromQt(QRectF(view->toCanvas(widget.topLeft()).toQt(),
                                            view->toCanvas(widget.bottomRight()).toQt()))
                            .contains(editing));
        }

        // What is typed shows as it will be drawn once committed: longer, or a line more.
        QTest::keyClicks(typing(), u" e ancora di piu"_s);
        const Rect typed = canvasInk();
        EXPECT_GT(text ? typed.width() : typed.height(), text ? editing.width() : editing.height());
        view->commitTextEditing();
        view->setSelection({}); // no handles
        EXPECT_EQ(canvasInk(), typed);
    }
}

TEST_F(TextSessionTest, TheWidgetStaysOnItsTextBoxWhenTheViewZooms)
{
    view->beginNewText({100, 100}, AnnotationKind::text, std::nullopt);
    QTest::keyClicks(typing(), u"abc"_s);
    const Point origin = view->state().textSession->origin;
    const QRect before = typing()->geometry();
    view->setMagnification(2.5, Point{100, 100});
    const QRect after = typing()->geometry();
    const QPointF corner = view->toViewport(origin);
    EXPECT_NEAR(after.x(), corner.x(), 1);
    EXPECT_NEAR(after.y(), corner.y(), 1);
    EXPECT_NEAR(after.width(), before.width() * 2.5, 3);
    EXPECT_NEAR(QFontInfo(typing()->font()).pixelSize(), view->style(AnnotationKind::text).fontSize * 2.5, 1);
}

} // namespace
