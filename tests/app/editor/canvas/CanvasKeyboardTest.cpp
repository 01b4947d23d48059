#include "CanvasFixture.h"

#include "app/support/Beeper.h"
#include "core/document/DocumentAnnotations.h"
#include "core/model/StylePresetLibrary.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

// X keycodes of the keys by position (evdev + 8).
constexpr quint32 x11Digit2 = 11;
constexpr quint32 x11Digit3 = 12;

struct Keys : test::CanvasFixture {
    Keys()
    {
        StylePresetLibrary library;
        for (const double width : {5.0, 7.0, 11.0}) {
            Style s = Style::defaults(AnnotationKind::arrow);
            s.lineWidth = width;
            library.save(s, u"Spesso %1"_s.arg(width), AnnotationKind::arrow);
        }
        settings.set(setting::stylePresets, library);
    }

    // Sends a press; true when the canvas kept it (false: passed on).
    bool key(int key, Qt::KeyboardModifiers modifiers = {}, const QString& text = {}, quint32 scanCode = 0)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
        QApplication::sendEvent(&view, &event);
        return event.isAccepted();
    }
    std::vector<QString> undoNames()
    {
        std::vector<QString> names;
        while (undo.canUndo()) {
            names.push_back(undo.undoActionName());
            undo.undo();
        }
        while (undo.canRedo())
            undo.redo();
        return names;
    }
    std::vector<Point> points(int id) const { return canvasShape(editor.model(), test::uuid(id))->points; }

    int beeps = 0;
    Beeper::Override beeper{[this] { ++beeps; }};
};

} // namespace

TEST(CanvasKeyboard, KeysWithCtrlAltOrSuperArePassedOnUntouched)
{
    Keys canvas;
    canvas.view.setSelection({test::uuid(10)});
    const DocumentModel before = canvas.editor.model();
    for (const Qt::KeyboardModifier modifier : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier}) {
        for (const int key : {int(Qt::Key_Delete), int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Tab),
                              int(Qt::Key_2), int(Qt::Key_R)}) {
            SCOPED_TRACE(testing::Message() << "modifier " << modifier << " key " << key);
            EXPECT_FALSE(canvas.key(key, modifier, key == Qt::Key_R ? u"r"_s : QString()));
            EXPECT_EQ(canvas.editor.model(), before);
            EXPECT_EQ(canvas.view.state().selection, std::set{test::uuid(10)});
            EXPECT_EQ(canvas.view.tool(), Tool::select);
        }
    }
    EXPECT_EQ(canvas.beeps, 0);
}

// The digit row by position: what the layout prints on the key does not matter.
TEST(CanvasKeyboard, DigitKeysApplyThePresetAtTheirPosition)
{
    struct Case {
        const char* name;
        int key;
        QString text;
        quint32 scanCode;
        std::optional<double> width; // nothing: no preset, passed on
    };
    const Case cases[] = {
        {"digit 2 on an Italian layout", Qt::Key_2, u"2"_s, x11Digit2, 7},
        {"the same key on a French layout", Qt::Key_Eacute, u"\u00e9"_s, x11Digit2, 7},
        {"digit 3 with Shift on a French layout", Qt::Key_3, u"3"_s, x11Digit3, 11},
        {"digit 1 from an event without a scan code", Qt::Key_1, u"1"_s, 0, 5},
        {"digit 9: no such preset", Qt::Key_9, u"9"_s, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Keys canvas;
        canvas.view.setSelection({test::uuid(10)});
        const DocumentModel before = canvas.editor.model();
        const bool shifted = c.key == Qt::Key_3;
        EXPECT_EQ(canvas.key(c.key, shifted ? Qt::ShiftModifier : Qt::NoModifier, c.text, c.scanCode),
                  c.width.has_value());
        if (c.width) {
            EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, *c.width);
            EXPECT_EQ(canvas.undoNames().size(), 1u);
        } else {
            EXPECT_EQ(canvas.editor.model(), before);
        }
        EXPECT_EQ(canvas.view.tool(), Tool::select); // a digit is never a tool letter
    }
}

TEST(CanvasKeyboard, ArrowsNudgeTheSelectionByOneOrWithShiftByTenAsOneStepEach)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        Point offset;
    };
    const Case cases[] = {
        {Qt::Key_Left, {}, {-1, 0}},
        {Qt::Key_Right, {}, {1, 0}},
        {Qt::Key_Down, {}, {0, 1}},
        {Qt::Key_Up, {}, {0, -1}},
        {Qt::Key_Right, Qt::ShiftModifier, {10, 0}},
        {Qt::Key_Up, Qt::ShiftModifier, {0, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " shift " << bool(c.modifiers));
        Keys canvas;
        canvas.view.setSelection({test::uuid(10)});
        const std::vector<Point> arrow = canvas.points(10);
        const std::vector<Point> rectangle = canvas.points(11);
        EXPECT_TRUE(canvas.key(c.key, c.modifiers));
        EXPECT_EQ(canvas.points(10), (std::vector{arrow[0] + c.offset, arrow[1] + c.offset}));
        EXPECT_EQ(canvas.points(11), rectangle);
        EXPECT_EQ(canvas.undoNames(), std::vector{u"Sposta freccia"_s});
    }

    Keys canvas;
    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    canvas.key(Qt::Key_Down);
    canvas.key(Qt::Key_Down);
    EXPECT_EQ(canvas.points(11)[0], (Point{120, 12}));
    EXPECT_EQ(canvas.undoNames(), (std::vector{u"Sposta oggetti"_s, u"Sposta oggetti"_s}));

    // Nothing selected but a panel: the panel moves.
    canvas.view.setSelection({});
    canvas.view.setSelectedPanel(test::uuid(1));
    canvas.key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(canvas.editor.model().panels[0].origin, (Point{-10, 0}));
    EXPECT_EQ(canvas.undo.undoActionName(), u"Sposta pannello"_s);
}

TEST(CanvasKeyboard, DeleteAndBackspaceRemoveTheSelectionAsOneStepThatUndoRestores)
{
    for (const int key : {int(Qt::Key_Delete), int(Qt::Key_Backspace)}) {
        Keys canvas;
        const DocumentModel before = canvas.editor.model();
        EXPECT_TRUE(canvas.key(key)); // nothing selected, no panel: nothing happens
        EXPECT_EQ(canvas.editor.model(), before);

        canvas.view.setSelection({test::uuid(10), test::uuid(12)});
        canvas.key(key);
        EXPECT_FALSE(annotation(canvas.editor.model(), test::uuid(10)));
        EXPECT_FALSE(annotation(canvas.editor.model(), test::uuid(12)));
        EXPECT_EQ(canvas.editor.model().panels[0].annotations.size(), 2u);
        EXPECT_TRUE(canvas.view.state().selection.empty());
        EXPECT_EQ(canvas.undoNames(), std::vector{u"Elimina oggetti"_s});
        canvas.undo.undo();
        EXPECT_EQ(canvas.editor.model(), before);

        canvas.view.setSelection({test::uuid(11)});
        canvas.key(key);
        EXPECT_EQ(canvas.undo.undoActionName(), u"Elimina rettangolo"_s);
    }
}

TEST(CanvasKeyboard, ReturnTabEscapeAndToolLetters)
{
    Keys canvas;
    EXPECT_FALSE(canvas.key(Qt::Key_Return)); // not the ruler: passed on
    EXPECT_FALSE(canvas.key(Qt::Key_Enter, Qt::KeypadModifier));
    canvas.view.setTool(Tool::ruler);
    EXPECT_TRUE(canvas.key(Qt::Key_Return)); // nothing to pin
    EXPECT_EQ(canvas.beeps, 1);

    EXPECT_TRUE(canvas.key(Qt::Key_Tab)); // no colour under the pointer
    EXPECT_EQ(canvas.beeps, 2);

    EXPECT_TRUE(canvas.key(Qt::Key_R, Qt::ShiftModifier, u"R"_s));
    EXPECT_EQ(canvas.view.tool(), Tool::rectangle);
    EXPECT_TRUE(canvas.key(Qt::Key_E, {}, u"e"_s));
    EXPECT_EQ(canvas.view.tool(), Tool::ocr);
    EXPECT_FALSE(canvas.key(Qt::Key_Q, {}, u"q"_s)); // no tool has it
    EXPECT_FALSE(canvas.key(Qt::Key_F5));
    EXPECT_EQ(canvas.view.tool(), Tool::ocr);

    canvas.view.setTool(Tool::ruler);
    canvas.view.setMeasurement(Measurement{{0, 0}, {50, 50}});
    canvas.view.setSelection({test::uuid(11)});
    canvas.view.setSelectedPanel(test::uuid(1));
    EXPECT_TRUE(canvas.key(Qt::Key_Escape));
    EXPECT_EQ(canvas.view.tool(), Tool::select);
    EXPECT_TRUE(canvas.view.state().selection.empty());
    EXPECT_FALSE(canvas.view.state().selectedPanel);
    EXPECT_FALSE(canvas.view.state().measurement);
}

TEST(CanvasKeyboard, DuringACutOutOnlyItsOwnKeysChangeWhatTheyDo)
{
    Keys canvas;
    canvas.view.setTool(Tool::cutOut);
    canvas.view.setSelection({test::uuid(10)});
    canvas.view.setCutOutSession(
        CutOutSession{.region = Rect(0, 0, 100, 100), .source = {}, .pixelsPerPoint = 1, .holes = {}, .result = {}});
    const DocumentModel before = canvas.editor.model();

    EXPECT_TRUE(canvas.key(Qt::Key_Delete)); // a hole back, not the selection away
    EXPECT_EQ(canvas.editor.model(), before);
    EXPECT_TRUE(canvas.view.state().cutOutSession);

    const Point start = canvas.points(10)[0];
    canvas.key(Qt::Key_Right);
    EXPECT_EQ(canvas.points(10)[0], (start + Point{1, 0}));

    canvas.key(Qt::Key_Escape);
    EXPECT_FALSE(canvas.view.state().cutOutSession);
    EXPECT_EQ(canvas.view.state().selection, std::set{test::uuid(10)});
    EXPECT_EQ(canvas.view.tool(), Tool::cutOut);
}

TEST(CanvasKeyboard, DuringACropOnlyItsKeysAndToolLettersAct)
{
    Keys canvas;
    canvas.view.setSelection({test::uuid(10)});
    canvas.view.setTool(Tool::crop);
    if (!canvas.view.state().cropSession)
        GTEST_SKIP() << "choosing the crop tool opens no crop session";
    const DocumentModel before = canvas.editor.model();
    const auto session = canvas.view.state().cropSession;
    for (const int key : {int(Qt::Key_2), int(Qt::Key_Right), int(Qt::Key_Delete), int(Qt::Key_Tab)})
        EXPECT_TRUE(canvas.key(key));
    EXPECT_FALSE(canvas.key(Qt::Key_Return, Qt::AltModifier));
    EXPECT_EQ(canvas.editor.model(), before);
    EXPECT_EQ(canvas.view.state().cropSession, session);

    canvas.key(Qt::Key_Escape);
    EXPECT_FALSE(canvas.view.state().cropSession);
    EXPECT_EQ(canvas.editor.model(), before);

    canvas.view.setTool(Tool::crop);
    canvas.key(Qt::Key_Return);
    EXPECT_FALSE(canvas.view.state().cropSession);

    canvas.view.setTool(Tool::crop);
    canvas.key(Qt::Key_A, {}, u"a"_s);
    EXPECT_EQ(canvas.view.tool(), Tool::arrow);
    EXPECT_FALSE(canvas.view.state().cropSession);
}

// A wheel or slider change still open when a key edits is kept as its own step.
TEST(CanvasKeyboard, AnEditByKeyEndsAnOpenContinuousChangeFirst)
{
    Keys canvas;
    canvas.view.setSelection({test::uuid(10)});
    canvas.view.changeStyle(u"Cambia spessore"_s, true, [](Style& s) { s.lineWidth = 14; });
    canvas.key(Qt::Key_Right);
    EXPECT_EQ(canvas.annotationAt(0).style.lineWidth, 14);
    EXPECT_FALSE(canvas.editor.isInteracting());
    EXPECT_EQ(canvas.undoNames(), (std::vector{u"Sposta freccia"_s, u"Cambia spessore"_s}));

    canvas.view.changeStyle(u"Cambia spessore"_s, true, [](Style& s) { s.lineWidth = 3; });
    canvas.key(Qt::Key_Delete);
    EXPECT_EQ(canvas.undoNames(),
              (std::vector{u"Elimina freccia"_s, u"Cambia spessore"_s, u"Sposta freccia"_s, u"Cambia spessore"_s}));
}

TEST(CanvasKeyboard, SelectAllTakesEveryAnnotationButNoPanel)
{
    Keys canvas;
    canvas.view.setSelectedPanel(test::uuid(1));
    canvas.view.selectAll();
    EXPECT_EQ(canvas.view.state().selection,
              (std::set{test::uuid(10), test::uuid(11), test::uuid(12), test::uuid(13)}));
    EXPECT_FALSE(canvas.view.state().selectedPanel);
}
