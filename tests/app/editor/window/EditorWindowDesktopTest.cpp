// The editor window on a real desktop with a window manager, driven through xdotool: a
// project package opens in a window sized to it, keys zoom, a narrow window sends tools to
// "Altri", Ctrl+S saves, closing an edited document asks first, shapes drawn with the
// pointer survive undo and a save as they should, undo while typing undoes the typing, and
// a picture cropped and cut out with the pointer and keys keeps exactly the pixels chosen.

#include "app/editor/canvas/CanvasState.h"
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
#include <QColorSpace>
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

    static bool clickAt(QPoint at, int count = 1)
    {
        return movePointer(at.x(), at.y()) &&
               runTool("xdotool", {"click", "--repeat", QString::number(count), "--delay", "60", "1"}).exitCode == 0;
    }
};

// A picture whose every pixel differs from its neighbours, but for a flat stage holding a
// red square with two pockets of the stage's colour that no edge of the square reaches.
struct StagedPicture {
    static constexpr QRect stage{250, 150, 300, 300};
    static constexpr QRect square{300, 200, 200, 200};
    static constexpr QRect pocketA{330, 230, 50, 50};
    static constexpr QRect pocketB{420, 320, 50, 50};
    static constexpr QRgb flat = qRgb(230, 230, 230);
    static constexpr QRgb red = qRgb(200, 30, 30);

    static QImage make()
    {
        QImage image(800, 600, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 60 + (y / 256) * 20));
        const auto fill = [&](const QRect& r, QRgb colour) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    image.setPixel(x, y, colour);
        };
        fill(stage, flat);
        fill(square, red);
        fill(pocketA, flat);
        fill(pocketB, flat);
        return image;
    }
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

TEST_F(EditorOnDesktop, ACropAndACutOutMadeWithThePointerKeepExactlyTheChosenPixels)
{
    picture = StagedPicture::make();
    const QString path = fixturePackage();
    const std::unique_ptr<EditorWindow> window = openWindow(path);
    ASSERT_EQ(window->canvas().magnification(), 1);
    const CanvasView& canvas = window->canvas();

    // The crop: its key, the top-left handle dragged in to leave room for a new rectangle,
    // which is then drawn from outside the first, and Return.
    ASSERT_TRUE(sendKeys("c"));
    ASSERT_TRUE(waitUntil([&] { return canvas.tool() == Tool::crop && canvas.state().cropSession; }));
    const QRect chosen(100, 100, 600, 400);
    ASSERT_TRUE(drag(onScreen(*window, 0, 0), onScreen(*window, 400, 300)));
    ASSERT_TRUE(waitUntil([&] { return canvas.state().cropSession->rect == Rect(400, 300, 400, 300); }))
        << "the top-left handle follows the pointer";
    ASSERT_TRUE(drag(onScreen(*window, chosen.left(), chosen.top()),
                     onScreen(*window, chosen.right() + 1, chosen.bottom() + 1)));
    ASSERT_TRUE(waitUntil([&] { return canvas.state().cropSession->rect == Rect::fromQt(QRectF(chosen)); }))
        << "the new rectangle is where the pointer drew it";
    ASSERT_TRUE(sendKeys("Return"));
    ASSERT_TRUE(waitUntil([&] { return !canvas.state().cropSession; }));
    EXPECT_EQ(window->document().model().panels.front().crop, Rect::fromQt(QRectF(chosen)));
    EXPECT_EQ(window->document().editor().undoManager().undoActionName(), "Ritaglia");
    EXPECT_EQ(canvas.tool(), Tool::select);
    processEventsFor(300ms);

    // The cut-out: its key, a region around the square, a click in one pocket and a
    // double click in the other, Return. The picture now starts at the crop's corner.
    const auto inCrop = [&](QPoint p) { return onScreen(*window, p.x() - chosen.left(), p.y() - chosen.top()); };
    ASSERT_TRUE(sendKeys("b"));
    ASSERT_TRUE(waitUntil([&] { return canvas.tool() == Tool::cutOut; }));
    ASSERT_TRUE(drag(inCrop({270, 170}), inCrop({530, 430})));
    ASSERT_TRUE(waitUntil([&] { return canvas.state().cutOutSession.has_value(); }));
    const auto result = [&] { return canvas.state().cutOutSession->result; };
    ASSERT_TRUE(result());
    const QPoint inRegion = StagedPicture::square.topLeft() - QPoint(270, 170);
    const auto alphaAt = [&](QPoint p) {
        const QPoint at = p - StagedPicture::square.topLeft();
        return qAlpha(result()->image.pixel(at));
    };
    EXPECT_EQ(result()->bounds, Rect(inRegion.x(), inRegion.y(), 200, 200)) << "the edges take the stage away";
    EXPECT_EQ(alphaAt(StagedPicture::pocketA.center()), 255) << "but reach no pocket";

    ASSERT_TRUE(clickAt(inCrop(StagedPicture::pocketA.center())));
    ASSERT_TRUE(waitUntil([&] { return canvas.state().cutOutSession->holes.size() == 1; }));
    EXPECT_EQ(alphaAt(StagedPicture::pocketA.center()), 0);
    EXPECT_EQ(alphaAt(StagedPicture::pocketB.center()), 255) << "a click empties its own pocket alone";
    ASSERT_TRUE(clickAt(inCrop(StagedPicture::pocketB.center()), 2));
    ASSERT_TRUE(waitUntil([&] {
        const std::vector<CutOut::Hole>& holes = canvas.state().cutOutSession->holes;
        return holes.size() == 2 && holes.back().everywhere && !holes.front().everywhere;
    })) << "the double click replaces its first click's seed";
    EXPECT_EQ(alphaAt(StagedPicture::pocketB.center()), 0);
    const std::optional<CanvasView::CutOutPNG> png = canvas.cutOutPNG();
    ASSERT_TRUE(png);
    EXPECT_EQ(png->fileName, window->document().imageName() + " scontornato");
    ASSERT_TRUE(sendKeys("Return"));
    ASSERT_TRUE(waitUntil([&] { return window->document().model().panels.size() == 2; }));
    EXPECT_EQ(window->document().editor().undoManager().undoActionName(), "Scontorna");
    EXPECT_FALSE(canvas.state().cutOutSession);
    EXPECT_EQ(canvas.tool(), Tool::select);
    EXPECT_EQ(canvas.state().selectedPanel, window->document().model().panels.back().id);

    ASSERT_TRUE(sendKeys("ctrl+s"));
    ASSERT_TRUE(waitUntil([&] { return !window->document().isEdited(); }));
    auto opened = ProjectDocument::open(path, settings);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProjectDocument>>(opened));
    const ProjectDocument& reopened = *std::get<std::unique_ptr<ProjectDocument>>(opened);
    ASSERT_EQ(reopened.model().panels.size(), 2u);

    DocumentModel croppedAlone = reopened.model();
    croppedAlone.panels.pop_back();
    const auto cropped = Exporter::renderImage(croppedAlone, reopened.images(), ProjectDocument::pictureOptions());
    ASSERT_TRUE(cropped);
    QImage expected = picture.copy(chosen);
    expected.setColorSpace(cropped->colorSpace()); // the export tags its colours, the fixture does not
    EXPECT_EQ(cropped->convertToFormat(QImage::Format_RGB32), expected)
        << "the cropped panel shows the chosen rectangle's pixels, no more, no less";

    const QImage cutOut =
        reopened.images().image(reopened.model().panels.back().imageID).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(cutOut.size(), StagedPicture::square.size());
    int wrong = 0;
    for (int y = 0; y < cutOut.height(); ++y)
        for (int x = 0; x < cutOut.width(); ++x) {
            const QPoint p = StagedPicture::square.topLeft() + QPoint(x, y);
            const bool pocket = StagedPicture::pocketA.contains(p) || StagedPicture::pocketB.contains(p);
            const QRgb expected = pocket ? qRgba(0, 0, 0, 0) : StagedPicture::red;
            const QRgb got = cutOut.pixel(x, y);
            wrong += pocket ? qAlpha(got) != 0 : got != expected;
        }
    EXPECT_EQ(wrong, 0) << "the square stays opaque and its pockets are transparent";
}

} // namespace
