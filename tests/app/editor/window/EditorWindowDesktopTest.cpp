// The editor window on a real desktop with a window manager, driven through xdotool: a
// project package opens in a window sized to it, keys zoom, a narrow window sends tools to
// "Altri", Ctrl+S saves, closing an edited document asks first, shapes drawn with the
// pointer survive undo and a save as they should, and undo while typing undoes the typing.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/TextSessionEditor.h"
#include "app/editor/window/CanvasBadge.h"
#include "app/editor/window/EditorToolbar.h"
#include "app/editor/window/EditorWindow.h"
#include "app/editor/window/ToolButton.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "support/ImageFixtures.h"
#include "support/desktop/DesktopTools.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

struct EditorOnDesktop : testing::Test {
    QTemporaryDir folder;
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};

    QImage picture = [] {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(QColor(40, 120, 200));
        return image;
    }();

    // A package holding one 800 × 600 picture.
    QString fixturePackage()
    {
        ProjectDocument document(settings);
        EXPECT_TRUE(document.addImage(pngOf(picture), "png", 1.0, "Aggiungi immagine"));
        const QString path = folder.filePath("fixture.vorlix");
        EXPECT_FALSE(document.saveAs(path));
        return path;
    }

    std::unique_ptr<EditorWindow> openWindow(const QString& path)
    {
        auto opened = ProjectDocument::open(path, settings);
        EXPECT_TRUE(std::holds_alternative<std::unique_ptr<ProjectDocument>>(opened));
        auto window = std::make_unique<EditorWindow>(std::move(std::get<std::unique_ptr<ProjectDocument>>(opened)),
                                                     settings, [](ProjectDocument&, auto done) { done(std::nullopt); });
        window->show();
        EXPECT_TRUE(waitUntil([&] { return window->isActiveWindow() && window->windowHandle()->isExposed(); }));
        return window;
    }

    static void edit(EditorWindow& window)
    {
        window.document().editor().perform("Cambia ombra",
                                           [](DocumentModel& model) { model.panelShadow = !model.panelShadow; });
    }

    // Where a point of the canvas, counted from the top left of the document, is on the screen.
    static QPoint onScreen(EditorWindow& window, double x, double y)
    {
        const Point origin = canvasBounds(window.document().model()).origin;
        const QPointF inViewport = window.canvas().toViewport(origin + Point{x, y});
        return window.canvas().viewport()->mapToGlobal(inViewport).toPoint();
    }

    // Chooses the tool as a person does, with its toolbar button.
    static bool chooseTool(EditorWindow& window, Tool tool)
    {
        const ToolButton* button = window.toolbar().toolButton(tool);
        const QPoint centre = button->mapToGlobal(button->rect().center());
        return movePointer(centre.x(), centre.y()) && click() &&
               waitUntil([&] { return window.canvas().tool() == tool; });
    }

    static bool drag(QPoint from, QPoint to)
    {
        const auto at = [](QPoint p) { return QStringList{QString::number(p.x()), QString::number(p.y())}; };
        const QStringList arguments = QStringList{"mousemove"} + at(from) + QStringList{"mousedown", "1", "mousemove"} +
                                      at((from + to) / 2) + QStringList{"mousemove"} + at(to) +
                                      QStringList{"mouseup", "1"};
        return runTool("xdotool", arguments).exitCode == 0;
    }

    static std::vector<Annotation> annotations(const DocumentModel& model)
    {
        std::vector<Annotation> all = model.annotations;
        for (const Panel& panel : model.panels)
            all.insert(all.end(), panel.annotations.begin(), panel.annotations.end());
        return all;
    }

    // The window's action with `text` ("Annulla", "Ripeti"), as a menu would trigger it.
    static QAction* windowAction(EditorWindow& window, const QString& text)
    {
        for (QAction* action : window.actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    // Opens in-place text with the text tool at a point of the picture.
    static TextSessionEditor* startTyping(EditorWindow& window, double x, double y)
    {
        if (!chooseTool(window, Tool::text))
            return nullptr;
        const QPoint spot = onScreen(window, x, y);
        if (!movePointer(spot.x(), spot.y()) || !click())
            return nullptr;
        TextSessionEditor* typing = nullptr;
        waitUntil([&] {
            typing = window.canvas().textEditor();
            return typing && typing->hasFocus();
        });
        return typing;
    }

    static bool type(const QString& text) { return runTool("xdotool", {"type", "--delay", "30", text}).exitCode == 0; }
};

TEST_F(EditorOnDesktop, KeysZoomAndSaveAndANarrowWindowKeepsEveryTool)
{
    const QString path = fixturePackage();
    const std::unique_ptr<EditorWindow> window = openWindow(path);
    EXPECT_EQ(window->canvas().magnification(), 1) << "an 800 × 600 picture fits at 100 %";
    EXPECT_GE(window->width(), 900);

    ASSERT_TRUE(sendKeys("ctrl+equal"));
    EXPECT_TRUE(waitUntil([&] { return window->canvas().magnification() == 1.25; }));
    ASSERT_TRUE(sendKeys("ctrl+minus"));
    ASSERT_TRUE(sendKeys("ctrl+minus"));
    EXPECT_TRUE(waitUntil([&] { return window->canvas().magnification() == 0.8; }));
    ASSERT_TRUE(sendKeys("ctrl+0"));
    EXPECT_TRUE(waitUntil([&] { return window->canvas().magnification() == 1; }));

    const QString id = QString::number(window->winId());
    ASSERT_EQ(runTool("xdotool", {"windowsize", id, "600", "500"}).exitCode, 0);
    EXPECT_TRUE(waitUntil([&] { return !window->toolbar().hiddenTools().empty(); }))
        << "a narrow window sends tools to Altri";
    ASSERT_EQ(runTool("xdotool", {"windowsize", id, "1800", "900"}).exitCode, 0);
    EXPECT_TRUE(waitUntil([&] { return window->toolbar().hiddenTools().empty(); })) << "and takes them back";

    edit(*window);
    EXPECT_TRUE(window->document().isEdited());
    ASSERT_TRUE(sendKeys("ctrl+s"));
    EXPECT_TRUE(waitUntil([&] { return !window->document().isEdited(); }));
    auto reopened = ProjectDocument::open(path, settings);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProjectDocument>>(reopened));
    EXPECT_EQ(std::get<std::unique_ptr<ProjectDocument>>(reopened)->model(), window->document().model());
}

TEST_F(EditorOnDesktop, ClosingAnEditedDocumentAsksAndDontSaveLeavesThePackage)
{
    const QString path = fixturePackage();
    const std::unique_ptr<EditorWindow> window = openWindow(path);
    edit(*window);

    ASSERT_TRUE(sendKeys("ctrl+w"));
    QMessageBox* question = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                question = box;
        return question != nullptr;
    }));
    EXPECT_EQ(question->text(), "Salvataggio progetto");
    EXPECT_TRUE(window->isVisible()) << "nothing closes before the answer";
    ASSERT_TRUE(waitUntil([&] { return question->windowHandle() && question->windowHandle()->isExposed(); }));
    ASSERT_TRUE(sendKeys("ctrl+d")); // Non salvare
    EXPECT_TRUE(waitUntil([&] { return !window->isVisible(); }));

    auto reopened = ProjectDocument::open(path, settings);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProjectDocument>>(reopened));
    EXPECT_FALSE(std::get<std::unique_ptr<ProjectDocument>>(reopened)->model().panelShadow) << "nothing was saved";
}

TEST_F(EditorOnDesktop, DrawnShapesAndTextSurviveUndoAndASaveAsUndoLeftThem)
{
    const QString path = fixturePackage();
    const std::unique_ptr<EditorWindow> window = openWindow(path);
    const auto count = [&] { return annotations(window->document().model()).size(); };

    ASSERT_TRUE(chooseTool(*window, Tool::arrow));
    ASSERT_TRUE(drag(onScreen(*window, 100, 100), onScreen(*window, 300, 160)));
    ASSERT_TRUE(waitUntil([&] { return count() == 1; })) << "the arrow is drawn";
    ASSERT_TRUE(chooseTool(*window, Tool::rectangle));
    ASSERT_TRUE(drag(onScreen(*window, 420, 300), onScreen(*window, 580, 420)));
    ASSERT_TRUE(waitUntil([&] { return count() == 2; })) << "the rectangle is drawn";
    ASSERT_NE(startTyping(*window, 120, 480), nullptr);
    ASSERT_TRUE(type("Ciao"));
    ASSERT_TRUE(sendKeys("Return"));
    ASSERT_TRUE(waitUntil([&] { return count() == 3 && !window->canvas().textEditor(); })) << "Return keeps the text";

    std::vector<AnnotationKind> kinds;
    for (const Annotation& annotation : annotations(window->document().model()))
        kinds.push_back(annotation.kind);
    EXPECT_EQ(kinds, (std::vector{AnnotationKind::arrow, AnnotationKind::rectangle, AnnotationKind::text}));
    EXPECT_EQ(annotations(window->document().model()).back().text, "Ciao");

    ASSERT_TRUE(sendKeys("ctrl+z"));
    ASSERT_TRUE(sendKeys("ctrl+z"));
    ASSERT_TRUE(waitUntil([&] { return count() == 1; })) << "two undos take the text and the rectangle";
    const DocumentModel drawn = window->document().model();
    EXPECT_EQ(annotations(drawn).front().kind, AnnotationKind::arrow);

    ASSERT_TRUE(sendKeys("ctrl+s"));
    ASSERT_TRUE(waitUntil([&] { return !window->document().isEdited(); }));
    auto opened = ProjectDocument::open(path, settings);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProjectDocument>>(opened));
    const ProjectDocument& reopened = *std::get<std::unique_ptr<ProjectDocument>>(opened);
    EXPECT_EQ(reopened.model(), drawn) << "the package holds the arrow alone";

    const QImage stored = reopened.images().image(reopened.model().panels.front().imageID);
    EXPECT_EQ(stored.convertToFormat(QImage::Format_RGB32), picture) << "the panel's pixels are unchanged";
    const auto savedPicture =
        Exporter::renderImage(reopened.model(), reopened.images(), ProjectDocument::pictureOptions());
    const auto shownPicture =
        Exporter::renderImage(drawn, window->document().images(), ProjectDocument::pictureOptions());
    ASSERT_TRUE(savedPicture && shownPicture);
    EXPECT_EQ(*savedPicture, *shownPicture);
}

TEST_F(EditorOnDesktop, UndoAndRedoWhileTypingActOnTheTypingAlone)
{
    const std::unique_ptr<EditorWindow> window = openWindow(fixturePackage());
    edit(*window);
    const DocumentModel before = window->document().model();
    QAction* undo = windowAction(*window, "Annulla");
    QAction* redo = windowAction(*window, "Ripeti");
    ASSERT_TRUE(undo && redo);

    TextSessionEditor* typing = startTyping(*window, 200, 200);
    ASSERT_NE(typing, nullptr);
    ASSERT_TRUE(type("Uno"));
    ASSERT_TRUE(waitUntil([&] { return typing->text() == "Uno"; }));

    // The keys, then the window's actions as its menu would trigger them.
    struct Way {
        const char* name;
        std::function<void()> undo, redo;
    };
    const Way ways[] = {
        {"keys", [] { EXPECT_TRUE(sendKeys("ctrl+z")); }, [] { EXPECT_TRUE(sendKeys("ctrl+shift+z")); }},
        {"actions", [&] { undo->trigger(); }, [&] { redo->trigger(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        way.undo();
        EXPECT_TRUE(waitUntil([&] { return typing->text().isEmpty(); })) << "undo takes the typing";
        EXPECT_EQ(window->document().model(), before) << "and leaves the document alone";
        way.redo();
        EXPECT_TRUE(waitUntil([&] { return typing->text() == "Uno"; })) << "redo brings it back";
        EXPECT_EQ(window->document().model(), before);
        EXPECT_EQ(window->canvas().textEditor(), typing) << "the typing goes on";
    }

    ASSERT_TRUE(sendKeys("Return"));
    ASSERT_TRUE(waitUntil([&] { return annotations(window->document().model()).size() == 1; }));
    undo->trigger();
    EXPECT_EQ(window->document().model(), before) << "once committed, the text is one document step";
    undo->trigger();
    EXPECT_NE(window->document().model().panelShadow, before.panelShadow) << "and the step before it comes next";
    redo->trigger();
    EXPECT_EQ(window->document().model(), before);
}

TEST_F(EditorOnDesktop, UndoDuringADragEndsTheDragBeforeItUndoes)
{
    const std::unique_ptr<EditorWindow> window = openWindow(fixturePackage());
    edit(*window);
    const DocumentModel before = window->document().model();
    ASSERT_TRUE(chooseTool(*window, Tool::arrow));
    ASSERT_TRUE(drag(onScreen(*window, 100, 100), onScreen(*window, 300, 100)));
    ASSERT_TRUE(waitUntil([&] { return annotations(window->document().model()).size() == 1; }));
    ASSERT_TRUE(chooseTool(*window, Tool::select));

    const QPoint grip = onScreen(*window, 200, 100);
    const QPoint away = onScreen(*window, 200, 300);
    const QPoint further = onScreen(*window, 250, 400);
    ASSERT_EQ(runTool("xdotool", {"mousemove", QString::number(grip.x()), QString::number(grip.y()), "mousedown", "1",
                                  "mousemove", QString::number(away.x()), QString::number(away.y())})
                  .exitCode,
              0);
    ASSERT_TRUE(waitUntil([&] { return window->document().editor().isInteracting(); })) << "the arrow is moving";
    ASSERT_TRUE(sendKeys("ctrl+z"));
    ASSERT_TRUE(waitUntil([&] { return window->document().model() == before; })) << "the drawing is undone";
    ASSERT_EQ(
        runTool("xdotool", {"mousemove", QString::number(further.x()), QString::number(further.y()), "mouseup", "1"})
            .exitCode,
        0);
    processEventsFor(300ms);
    EXPECT_EQ(window->document().model(), before) << "the rest of the drag does not bring the arrow back";
    EXPECT_FALSE(window->document().editor().isInteracting());
}

} // namespace
