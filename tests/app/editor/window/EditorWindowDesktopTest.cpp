// The editor window on a real desktop with a window manager, driven through xdotool: a
// project package opens in a window sized to it, keys zoom, a narrow window sends tools to
// "Altri", Ctrl+S saves, and closing an edited document asks first.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/window/CanvasBadge.h"
#include "app/editor/window/EditorToolbar.h"
#include "app/editor/window/EditorWindow.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/ImageFixtures.h"
#include "support/desktop/DesktopTools.h"

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

    // A package holding one 800 × 600 picture.
    QString fixturePackage()
    {
        ProjectDocument document(settings);
        QImage picture(800, 600, QImage::Format_RGB32);
        picture.fill(QColor(40, 120, 200));
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

} // namespace
