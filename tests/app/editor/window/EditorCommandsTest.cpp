// The editor window's menu commands through the window: each change of the document is
// one undo step under its Italian name that undoes and redoes exactly; a command with
// nothing to act on beeps and changes nothing; menu items are enabled and ticked as the
// document stands; a command given during a drag or a slider move ends it as its own step.

#include "app/editor/window/EditorCommands.h"
#include "app/editor/canvas/CanvasView.h"
#include "app/editor/window/EditorWindow.h"
#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelComposition.h"
#include "core/document/StepNumbers.h"
#include "core/model/PanelGeometry.h"
#include "support/ImageFixtures.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

QImage picture(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

struct EditorCommandsTest : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    QTemporaryDir folder;
    EditorCommands::ShellHooks savedHooks = EditorCommands::hooks();
    int beeps = 0;
    Beeper::Override beeper{[this] { ++beeps; }};
    std::unique_ptr<EditorWindow> window;

    ~EditorCommandsTest() override
    {
        window.reset();
        EditorCommands::hooks() = savedHooks;
        QGuiApplication::clipboard()->clear();
    }

    void open(int panels)
    {
        auto document = std::make_unique<ProjectDocument>(settings);
        for (int i = 0; i < panels; ++i)
            EXPECT_TRUE(
                document->addImage(pngOf(picture(120 + 40 * i, 80, Qt::blue)), "png", 1.0, "Aggiungi immagine"));
        document->undoManager().removeAllActions();
        window = std::make_unique<EditorWindow>(std::move(document), settings,
                                                [](ProjectDocument&, auto done) { done(std::nullopt); });
        window->resize(900, 700);
        window->show();
        QCoreApplication::processEvents();
    }

    const DocumentModel& model() { return window->document().model(); }
    UndoManager& history() { return window->document().undoManager(); }

    // Runs a command as a menu does, in an event loop cycle of its own so that it is not
    // grouped with what comes next.
    void run(const char* name, CommandItem item = {})
    {
        EXPECT_TRUE(window->commands().trigger(QString::fromLatin1(name), item));
        QCoreApplication::processEvents();
    }

    void mouse(QEvent::Type type, Point at)
    {
        CanvasView& canvas = window->canvas();
        const QPointF position = canvas.toViewport(at);
        QMouseEvent event(type, position, canvas.viewport()->mapToGlobal(position),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas.viewport(), &event);
        QCoreApplication::processEvents();
    }
};

TEST_F(EditorCommandsTest, EachModelCommandIsOneNamedStepThatUndoesAndRedoesExactly)
{
    using Edit = std::function<void(DocumentModel&)>;
    struct Case {
        const char* command;
        int tag;
        Edit prepare; // done as a step of its own before the command
        const char* undoName;
        std::function<bool(const DocumentModel&)> expected;
    };
    const Case cases[] = {
        {"setLayoutMode",
         1,
         {},
         "Cambia disposizione",
         [](const DocumentModel& m) { return m.layout.mode == PanelLayout::Mode::horizontal; }},
        {"setLayoutMode",
         7,
         {},
         "Cambia disposizione",
         [](const DocumentModel& m) { return m.layout.mode == PanelLayout::Mode::grid; }},
        {"setLayoutMode", -3, [](DocumentModel& m) { m.layout.mode = PanelLayout::Mode::grid; }, "Cambia disposizione",
         [](const DocumentModel& m) { return m.layout.mode == PanelLayout::Mode::vertical; }},
        {"setSpacing",
         48,
         {},
         "Cambia distanza",
         [](const DocumentModel& m) {
             return m.layout.spacing == 48 && m.panels[1].origin.y - frame(m.panels[0]).maxY() == 48;
         }},
        {"arrangePanels", 0,
         [](DocumentModel& m) {
             movePanel(m, m.panels[1].id, {500, 400});
         },
         "Riordina automaticamente",
         [](const DocumentModel& m) {
             return m.panels[1].origin != Point{500, 400};
         }},
        {"numberPanels", 0, {}, "Numera i passaggi", [](const DocumentModel& m) { return hasNumbers(m); }},
        {"removePanelNumbers", 0, [](DocumentModel& m) { addStepNumbers(m, Style{}); }, "Togli la numerazione",
         [](const DocumentModel& m) { return !hasNumbers(m); }},
        {"rotateLeft",
         0,
         {},
         "Ruota a sinistra",
         [](const DocumentModel& m) { return frame(m.panels[0]).size.height == 120; }},
        {"rotateRight",
         0,
         {},
         "Ruota a destra",
         [](const DocumentModel& m) { return frame(m.panels[0]).size.height == 120; }},
        {"flipHorizontally", 0, {}, "Capovolgi in orizzontale", {}},
        {"flipVertically", 0, {}, "Capovolgi in verticale", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(c.tag));
        open(2);
        if (c.prepare) {
            window->document().editor().perform("Prepara", c.prepare);
            QCoreApplication::processEvents();
        }
        const DocumentModel before = model();
        run(c.command, {.tag = c.tag, .object = {}});
        const DocumentModel after = model();
        EXPECT_EQ(beeps, 0);
        EXPECT_NE(after, before);
        if (c.expected) {
            EXPECT_TRUE(c.expected(after));
        }
        EXPECT_EQ(history().undoActionName(), c.undoName);
        history().undo();
        EXPECT_EQ(model(), before);
        EXPECT_EQ(history().undoActionName(), c.prepare ? "Prepara" : "");
        history().redo();
        EXPECT_EQ(model(), after);
    }
}

TEST_F(EditorCommandsTest, CommandsWithNothingToActOnBeepAndChangeNothing)
{
    struct Case {
        const char* command;
        int panels;
    };
    const Case cases[] = {
        {"rotateLeft", 0},    {"rotateRight", 0},        {"flipHorizontally", 0}, {"flipVertically", 0},
        {"arrangePanels", 1}, {"removePanelNumbers", 2}, {"numberPanels", 0},     {"addFromClipboard", 1},
        {"pinImage", 0},      {"shareImage", 0},
    };
    QGuiApplication::clipboard()->setText("kein Bild");
    EditorCommands::hooks().pin = [](const QImage&, double, const QString&) { ADD_FAILURE() << "pinned"; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        open(c.panels);
        beeps = 0;
        const DocumentModel before = model();
        run(c.command);
        EXPECT_EQ(beeps, 1);
        EXPECT_EQ(model(), before);
        EXPECT_FALSE(history().canUndo());
        EXPECT_EQ(window->commands().lastMenu(), nullptr);
    }
}

TEST_F(EditorCommandsTest, MenuItemsAreEnabledAndTickedAsTheDocumentStands)
{
    open(1);
    EditorCommands& commands = window->commands();
    const auto state = [&](const char* name, CommandItem item = {}) { return commands.validate(name, item); };
    using S = MenuItemState;
    const S disabled{.enabled = false, .checked = std::nullopt};
    const S enabled{.enabled = true, .checked = std::nullopt};

    EXPECT_EQ(state("arrangePanels"), disabled);
    EXPECT_EQ(state("removePanelNumbers"), disabled);
    // Rotating, flipping and pasting are offered even with nothing to act on; they beep.
    for (const char* name : {"rotateLeft", "flipVertically", "addFromClipboard", "numberPanels", "pinImage"})
        EXPECT_EQ(state(name), S{}) << name;
    EXPECT_EQ(state("noSuchCommand"), S{});

    EXPECT_EQ(state("setLayoutMode", {.tag = 0, .object = {}}), S{.checked = true});
    EXPECT_EQ(state("setLayoutMode", {.tag = 2, .object = {}}), S{.checked = false});
    EXPECT_EQ(state("setSpacing", {.tag = 24, .object = {}}), S{.checked = true});
    EXPECT_EQ(state("setSpacing", {.tag = 12, .object = {}}), S{.checked = false});
    EXPECT_EQ(state("selectTool", {.tag = 0, .object = rawValue(window->canvas().tool())}), S{.checked = true});
    EXPECT_EQ(state("selectTool", {.tag = 0, .object = QString("text")}), S{.checked = false});
    EXPECT_EQ(state("selectTool", {.tag = 0, .object = 3}), S{});
    EXPECT_EQ(state("toggleRulers"), S{.checked = false});

    window->document().editor().perform("Prepara", [](DocumentModel& m) {
        addPanel(m, m.panels[0].imageID, {50, 50}, 1, PanelOrientation{});
        addStepNumbers(m, Style{});
        m.layout.mode = PanelLayout::Mode::grid;
    });
    run("toggleRulers");
    run("selectTool", {.tag = 0, .object = QString("arrow")});
    EXPECT_EQ(window->canvas().tool(), Tool::arrow);
    EXPECT_EQ(state("arrangePanels"), enabled);
    EXPECT_EQ(state("removePanelNumbers"), enabled);
    EXPECT_EQ(state("setLayoutMode", {.tag = 2, .object = {}}), S{.checked = true});
    EXPECT_EQ(state("selectTool", {.tag = 0, .object = QString("arrow")}), S{.checked = true});
    EXPECT_EQ(state("toggleRulers"), S{.checked = true});
    EXPECT_TRUE(window->rulersShown());
}

TEST_F(EditorCommandsTest, ACommandDuringAPanelDragEndsTheDragAsOneStepNamedAfterIt)
{
    open(2);
    run("selectTool", {.tag = 0, .object = QString("select")});
    const DocumentModel before = model();
    const Point start = frame(before.panels[1]).center();
    mouse(QEvent::MouseButtonPress, start);
    mouse(QEvent::MouseMove, start + Point{30, 0});
    mouse(QEvent::MouseMove, start + Point{60, 0});
    ASSERT_TRUE(window->document().editor().isInteracting());

    run("numberPanels");
    const DocumentModel after = model();
    EXPECT_TRUE(hasNumbers(after));
    EXPECT_GT(after.panels[1].origin.x, before.panels[1].origin.x); // the drag's work is kept
    EXPECT_FALSE(window->document().editor().isInteracting());

    // The rest of the gesture moves nothing and records nothing.
    mouse(QEvent::MouseMove, start + Point{90, 0});
    mouse(QEvent::MouseButtonRelease, start + Point{90, 0});
    EXPECT_EQ(model(), after);
    EXPECT_EQ(history().undoActionName(), "Numera i passaggi");
    history().undo();
    EXPECT_EQ(model(), before);
    EXPECT_FALSE(history().canUndo());
}

TEST_F(EditorCommandsTest, ACommandWhileASliderMovesTakesTheSlidersChangeIntoItsStep)
{
    open(2);
    const DocumentModel before = model();
    window->canvas().changeDocument("Cambia ombra", true, [](DocumentModel& m) { m.panelShadow = !m.panelShadow; });
    run("setSpacing", {.tag = 12, .object = {}});
    EXPECT_FALSE(window->document().editor().isInteracting());
    EXPECT_NE(model().panelShadow, before.panelShadow);
    EXPECT_EQ(model().layout.spacing, 12);
    EXPECT_EQ(history().undoActionName(), "Cambia distanza");
    history().undo();
    EXPECT_EQ(model(), before);
    EXPECT_FALSE(history().canUndo());
}

TEST_F(EditorCommandsTest, AddingFilesSkipsUnreadableOnesAndMakesAStepForEach)
{
    open(1);
    const QString first = folder.filePath("uno.PNG"), third = folder.filePath("tre.png");
    for (const QString& path : {first, third}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(pngOf(picture(60, 40, Qt::red)));
    }
    EditorCommands::hooks().chooseImageFiles = [&](QWidget*, auto done) {
        done({first, folder.filePath("manca.png"), third});
    };
    const DocumentModel before = model();
    run("addImageFromFile");
    ASSERT_EQ(model().panels.size(), 3u);
    EXPECT_EQ(history().undoActionName(), "Aggiungi immagine");
    history().undo();
    EXPECT_EQ(model().panels.size(), 2u);
    history().undo();
    EXPECT_EQ(model(), before);
    EXPECT_EQ(beeps, 0);
}

TEST_F(EditorCommandsTest, ARecentShotIsAddedAtItsRecordedDensityOrReportedMissing)
{
    open(1);
    int missing = 0;
    EditorCommands::hooks().showShotMissing = [&] { ++missing; };
    EditorCommands::hooks().shotPixelsPerPoint = [](const QString&) { return std::optional<double>(2.0); };
    const DocumentModel before = model();
    run("addRecentShot", {.tag = 0, .object = folder.filePath("sparito.png")});
    EXPECT_EQ(missing, 1);
    EXPECT_EQ(model(), before);

    const QString shot = folder.filePath("scatto.png");
    QFile file(shot);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pngOf(picture(200, 100, Qt::green)));
    file.close();
    run("addRecentShot", {.tag = 0, .object = QUrl::fromLocalFile(shot)});
    ASSERT_EQ(model().panels.size(), 2u);
    EXPECT_EQ(frame(model().panels[1]).size.width, 100); // 200 pixels at 2 per point
    EXPECT_EQ(history().undoActionName(), "Aggiungi scatto");
}

TEST_F(EditorCommandsTest, TheAddMenuOffersTheClipboardOnlyWhenItHoldsAPicture)
{
    open(1);
    const auto clipboardItem = [&] {
        for (QAction* action : window->commands().lastMenu()->actions())
            if (action->text() == "Dagli appunti")
                return action;
        return static_cast<QAction*>(nullptr);
    };
    QGuiApplication::clipboard()->setText("testo");
    window->commands().showAddMenu(window->canvas().viewport());
    ASSERT_NE(clipboardItem(), nullptr);
    EXPECT_FALSE(clipboardItem()->isEnabled());

    QGuiApplication::clipboard()->setImage(picture(30, 30, Qt::yellow));
    window->commands().showAddMenu(window->canvas().viewport());
    ASSERT_NE(clipboardItem(), nullptr);
    EXPECT_TRUE(clipboardItem()->isEnabled());
    clipboardItem()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(model().panels.size(), 2u);
    EXPECT_EQ(history().undoActionName(), "Aggiungi immagine");
}

TEST_F(EditorCommandsTest, PinningHandsTheRenderedPictureAndTheDocumentNameToThePin)
{
    open(1);
    std::optional<QSize> pinned;
    QString title;
    EditorCommands::hooks().pin = [&](const QImage& image, double, const QString& name) {
        pinned = image.size();
        title = name;
    };
    run("pinImage");
    ASSERT_TRUE(pinned);
    EXPECT_GE(pinned->width(), 120);
    EXPECT_EQ(title, window->document().displayName());
    EXPECT_EQ(beeps, 0);
}

} // namespace
